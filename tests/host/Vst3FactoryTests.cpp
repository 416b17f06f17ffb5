#include <pluginterfaces/base/ipluginbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <string>

// Reads the built module's factory directly, the first thing a VST3 host does,
// to check the identity hosts store in their projects.
namespace
{

using namespace Steinberg;

class Vst3Factory : public testing::Test
{
protected:
    void SetUp() override
    {
        handle = dlopen (MUR_VST3_BINARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE (handle, nullptr) << dlerror();

        using EntryFn = bool (*) (void*);
        auto entry = reinterpret_cast<EntryFn> (dlsym (handle, "ModuleEntry"));
        ASSERT_NE (entry, nullptr);
        ASSERT_TRUE (entry (handle));

        using FactoryFn = IPluginFactory* (*) ();
        auto getFactory = reinterpret_cast<FactoryFn> (dlsym (handle, "GetPluginFactory"));
        ASSERT_NE (getFactory, nullptr);
        factory = getFactory();
        ASSERT_NE (factory, nullptr);
    }

    void TearDown() override
    {
        if (factory != nullptr)
            factory->release();

        if (handle != nullptr)
        {
            using ExitFn = bool (*) ();
            if (auto exit = reinterpret_cast<ExitFn> (dlsym (handle, "ModuleExit")))
                exit();
            dlclose (handle);
        }
    }

    void* handle = nullptr;
    IPluginFactory* factory = nullptr;
};

bool sameId (const TUID a, const TUID b) { return std::memcmp (a, b, sizeof (TUID)) == 0; }

TEST_F (Vst3Factory, VendorAndTwoClassesWithTheirIds)
{
    PFactoryInfo info;
    ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
    EXPECT_STREQ (info.vendor, "Corvane");
    EXPECT_EQ (info.flags, 16);
    EXPECT_STRNE (info.url, "");
    EXPECT_STRNE (info.email, "");

    ASSERT_EQ (factory->countClasses(), 2);

    // The four-character codes "Corv" and "MURa" as 32-bit words.
    const TUID componentId = INLINE_UID (0xABCDEF01, 0x9182FAEB, 0x436F7276, 0x4D555261);
    const TUID controllerId = INLINE_UID (0xABCDEF01, 0x1234ABCD, 0x436F7276, 0x4D555261);
    bool sawComponent = false, sawController = false;

    for (int32 i = 0; i < 2; ++i)
    {
        PClassInfo classInfo;
        ASSERT_EQ (factory->getClassInfo (i, &classInfo), kResultOk);
        EXPECT_STREQ (classInfo.name, "MUR");
        EXPECT_EQ (classInfo.cardinality, PClassInfo::kManyInstances);

        if (std::string (classInfo.category) == "Audio Module Class")
        {
            sawComponent = true;
            EXPECT_TRUE (sameId (classInfo.cid, componentId));
        }
        else if (std::string (classInfo.category) == "Component Controller Class")
        {
            sawController = true;
            EXPECT_TRUE (sameId (classInfo.cid, controllerId));
        }
    }

    EXPECT_TRUE (sawComponent);
    EXPECT_TRUE (sawController);
}

TEST_F (Vst3Factory, ClassDetailsCarryCategoryVersionAndVendor)
{
    const TUID factory2Id = INLINE_UID (0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
    IPluginFactory2* factory2 = nullptr;
    ASSERT_EQ (factory->queryInterface (factory2Id, reinterpret_cast<void**> (&factory2)), kResultOk);
    ASSERT_NE (factory2, nullptr);

    for (int32 i = 0; i < 2; ++i)
    {
        PClassInfo2 info;
        ASSERT_EQ (factory2->getClassInfo2 (i, &info), kResultOk);
        EXPECT_STREQ (info.name, "MUR");
        EXPECT_STREQ (info.subCategories, "Fx");
        EXPECT_STREQ (info.vendor, "Corvane");
        EXPECT_STREQ (info.version, "1.0.0");
        EXPECT_EQ (info.classFlags, 0u);
        EXPECT_EQ (std::string (info.sdkVersion).rfind ("VST 3.", 0), 0u) << info.sdkVersion;
    }

    factory2->release();
}

} // namespace

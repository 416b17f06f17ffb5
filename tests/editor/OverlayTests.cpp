#include "views/ViewsPanel.h"
#include "EditorFixture.h"
#include "MouseEvents.h"
#include "ReferenceUpdateServer.h"
#include "TestHelpers.h"
#include "persistence/UserSettings.h"
#include "overlays/AboutOverlayComponent.h"
#include "overlays/OverlayPanel.h"
#include "overlays/ReleaseNotes.h"
#include "overlays/ReleaseNotesOverlayComponent.h"
#include "overlays/UpdateAvailableOverlayComponent.h"
#include "overlays/VersionCheckThread.h"

namespace mur
{
namespace
{
using update::ReferenceUpdateServer;
using update::ServedAnswer;

// Editors in a settings store of their own, with the browser replaced by a
// list of the addresses it was asked to open.
class Overlays : public test::Editor
{
protected:
    juce::TemporaryFile settingsFolder;
    juce::File previousSettings;
    juce::StringArray opened;

    void SetUp() override
    {
        previousSettings = userSettings::settingsFile().getParentDirectory();
        userSettings::setFolderOverride (settingsFolder.getFile());
        userSettings::write (userSettings::changelogAcknowledgedVersion, overlays::installedVersion);
        overlays::setBrowserLauncher ([this] (const juce::String& address) { opened.add (address); });
        test::Editor::SetUp();
    }

    void TearDown() override
    {
        test::Editor::TearDown();
        test::runPostedMessages();
        overlays::setBrowserLauncher ({});
        update::overrideServiceAddress (juce::String());
        userSettings::setFolderOverride (previousSettings);
        settingsFolder.getFile().deleteRecursively();
    }

    void reopenEditor()
    {
        editor.reset();
        editor.reset (dynamic_cast<ArpAudioProcessorEditor*> (processor->createEditorIfNeeded()));
    }

    static void click (juce::Component& c, juce::Point<int> at)
    {
        c.mouseDown (test::mouseAt (c, at.toFloat()));
    }
};

TEST_F (Overlays, AboutOpensOnceClosesFromTheVeilOrCloseAndGivesThePadBack)
{
    click (editor->pieces().aboutClickArea, { 10, 5 });
    editor->pieces().overlays.showAbout();
    ASSERT_NE (editor->pieces().overlays.getAbout(), nullptr);
    auto overlaysShown = 0;
    for (auto* child : editor->pieces().overlays.getChildren())
        overlaysShown += dynamic_cast<AboutOverlayComponent*> (child) != nullptr ? 1 : 0;
    EXPECT_EQ (overlaysShown, 1) << "two clicks, one overlay";
    EXPECT_FALSE (editor->pieces().pad.isVisible());

    // The panel sits at (309, 109); a press on it, its text or its logo
    // keeps the overlay, and the logo opens the maker's site.
    auto* about = editor->pieces().overlays.getAbout();
    EXPECT_EQ (about->getPanel(), juce::Rectangle<int> (309, 109, 460, 320));
    click (*about, { 540, 160 });
    ASSERT_NE (editor->pieces().overlays.getAbout(), nullptr);
    click (about->getLogoLink(), { 20, 10 });
    EXPECT_EQ (opened, juce::StringArray { "https://corvane.com" });
    EXPECT_EQ (about->getLogoLink().getTooltip(), "Open corvane.com");

    // A press on the veil: the overlay goes once the press is over.
    click (*about, { 100, 60 });
    EXPECT_EQ (editor->pieces().overlays.getAbout(), about);
    test::runPostedMessages();
    EXPECT_EQ (editor->pieces().overlays.getAbout(), nullptr);
    EXPECT_TRUE (editor->pieces().pad.isVisible());

    editor->pieces().overlays.showAbout();
    editor->pieces().overlays.getAbout()->getCloseButton().triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (editor->pieces().overlays.getAbout(), nullptr);
    EXPECT_TRUE (editor->pieces().pad.isVisible());
}

TEST_F (Overlays, AnOverlayCoversTheEditorAtAnySizeAndStopsThePad)
{
    editor->setSize (2156, 1078);
    editor->pieces().overlays.showAbout();
    auto* about = editor->pieces().overlays.getAbout();
    EXPECT_EQ (editor->getLocalArea (about, about->getLocalBounds()), editor->getLocalBounds());
    EXPECT_EQ (editor->getLocalArea (about, about->getPanel()), juce::Rectangle<int> (618, 218, 920, 640)) << "centred";

    // While it is open the pad neither reacts nor is drawn.
    const auto xBefore = processor->getSettings().getMirrors().controlInput0.get();
    auto& pad = editor->pieces().pad;
    const auto centre = pad.getPadArea().getCentre() - pad.getPosition().toFloat();
    test::drag (pad, centre, centre + juce::Point<float> (100.0f, 0.0f));
    EXPECT_EQ (processor->getSettings().getMirrors().controlInput0.get(), xBefore);

    editor->setSize (539, 270);
    EXPECT_EQ (editor->getLocalArea (about, about->getLocalBounds()), editor->getLocalBounds()) << "refitted by the layout";
}

TEST_F (Overlays, ReleaseNotesShowOncePerVersionUntilConfirmed)
{
    update::overrideServiceAddress ("http://127.0.0.1:9/mur/v1/latest");

    // Confirmed: no notes, and the check starts at once.
    EXPECT_EQ (editor->pieces().overlays.getReleaseNotes(), nullptr);
    EXPECT_FALSE (editor->pieces().overlays.areReleaseNotesPending());
    reopenEditor();
    EXPECT_NE (editor->pieces().overlays.getVersionCheckThread(), nullptr);

    // Nothing stored, or an older version: the notes of 1.0.0, and no check.
    for (const auto* stored : { "", "0.1.5" })
    {
        userSettings::write (userSettings::changelogAcknowledgedVersion, stored);
        reopenEditor();
        auto* notes = editor->pieces().overlays.getReleaseNotes();
        ASSERT_NE (notes, nullptr) << stored;
        EXPECT_TRUE (editor->pieces().overlays.areReleaseNotesPending());
        EXPECT_EQ (editor->pieces().overlays.getVersionCheckThread(), nullptr);
        EXPECT_EQ (notes->getNotesView().getText(), overlays::releaseNotesForVersion ("1.0.0"));
        EXPECT_TRUE (notes->getNotesView().isReadOnly());
        EXPECT_EQ (notes->getPanel(), juce::Rectangle<int> (289, 89, 500, 360));

        // A press on the veil does nothing.
        click (*notes, { 20, 20 });
        EXPECT_EQ (editor->pieces().overlays.getReleaseNotes(), notes);
    }

    // Closed without "OK": shown again next time. "OK" stores the version,
    // and the overlay goes once its click is over, starting the check.
    reopenEditor();
    ASSERT_NE (editor->pieces().overlays.getReleaseNotes(), nullptr);
    editor->pieces().overlays.getReleaseNotes()->getOkButton().triggerClick();
    ASSERT_TRUE (test::runPostedMessages());
    ASSERT_TRUE (test::runPostedMessages());
    EXPECT_EQ (userSettings::read (userSettings::changelogAcknowledgedVersion), "1.0.0");
    EXPECT_EQ (editor->pieces().overlays.getReleaseNotes(), nullptr);
    EXPECT_FALSE (editor->pieces().overlays.areReleaseNotesPending());
    EXPECT_NE (editor->pieces().overlays.getVersionCheckThread(), nullptr);

    // A second instance opened later shows none.
    ArpAudioProcessor other;
    std::unique_ptr<juce::AudioProcessorEditor> second (other.createEditorIfNeeded());
    EXPECT_EQ (dynamic_cast<ArpAudioProcessorEditor&> (*second).pieces().overlays.getReleaseNotes(), nullptr);
}

TEST_F (Overlays, TheUpdateNoticeFollowsTheUsersChoices)
{
    auto shownFor = [this] (const juce::String& version, const juce::String& location = {})
    {
        editor->pieces().overlays.showUpdate (version, location);
        const auto shown = editor->pieces().overlays.getUpdateNotice() != nullptr;
        if (shown)
        {
            editor->pieces().overlays.getUpdateNotice()->getOkButton().triggerClick();
            test::runPostedMessages();
            userSettings::write (userSettings::dismissedUpdateVersion, "");
        }
        return shown;
    };

    userSettings::write (userSettings::dismissedUpdateVersion, "1.2.0");
    EXPECT_FALSE (shownFor ("1.2.0")) << "dismissed";
    userSettings::write (userSettings::dismissedUpdateVersion, "1.1.0");
    EXPECT_TRUE (shownFor ("1.2.0")) << "an older dismissal";

    const auto now = juce::Time::currentTimeMillis() / 1000;
    for (auto [remindAfter, shows] : { std::pair { juce::String (now + 3600), false }, std::pair { juce::String ("0"), true },
                                       std::pair { juce::String (now - 60), true }, std::pair { juce::String ("soon"), true } })
    {
        userSettings::write (userSettings::updateRemindAfter, remindAfter);
        EXPECT_EQ (shownFor ("1.2.0"), shows) << remindAfter;
    }
    userSettings::write (userSettings::updateRemindAfter, "0");

    // Without a download location: the narrow panel, two buttons.
    editor->pieces().overlays.showUpdate ("1.2.0", {});
    auto* notice = editor->pieces().overlays.getUpdateNotice();
    ASSERT_NE (notice, nullptr);
    EXPECT_EQ (notice->getPanel().getWidth(), 340);
    EXPECT_FALSE (notice->getDownloadButton().isVisible());
    EXPECT_EQ (notice->getMessageLabel().getText(), "Version 1.2.0 is available.\nDownload from your account.");

    // "Remind me later" closes it and defers every version by a day.
    notice->getRemindButton().triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (editor->pieces().overlays.getUpdateNotice(), nullptr);
    const auto remindAfter = userSettings::read (userSettings::updateRemindAfter).getLargeIntValue();
    EXPECT_GE (remindAfter, now + 86400);
    EXPECT_LE (remindAfter, juce::Time::currentTimeMillis() / 1000 + 86400);
    EXPECT_FALSE (shownFor ("1.3.0"));
    userSettings::write (userSettings::updateRemindAfter, "0");

    // With one: "Download" opens it and leaves the notice; "OK" dismisses.
    editor->pieces().overlays.showUpdate ("1.2.0", "https://corvane.com/mur/1.2.0");
    notice = editor->pieces().overlays.getUpdateNotice();
    ASSERT_NE (notice, nullptr);
    EXPECT_EQ (notice->getPanel().getWidth(), 460);
    EXPECT_TRUE (notice->getDownloadButton().isVisible());
    notice->getDownloadButton().triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (opened, juce::StringArray { "https://corvane.com/mur/1.2.0" });
    EXPECT_EQ (editor->pieces().overlays.getUpdateNotice(), notice);
    notice->getOkButton().triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (editor->pieces().overlays.getUpdateNotice(), nullptr);
    EXPECT_EQ (userSettings::read (userSettings::dismissedUpdateVersion), "1.2.0");

    // Pending release notes hold the notice back.
    userSettings::write (userSettings::changelogAcknowledgedVersion, "");
    reopenEditor();
    editor->pieces().overlays.showUpdate ("1.3.0", {});
    EXPECT_EQ (editor->pieces().overlays.getUpdateNotice(), nullptr);
    EXPECT_EQ (editor->pieces().overlays.getVersionCheckThread(), nullptr);
}

//==============================================================================
// The whole way: the editor asks the reference server on this machine.
class UpdateCheck : public Overlays
{
protected:
    // Opens an editor against `served` and waits until its check is over.
    UpdateAvailableOverlayComponent* noticeFor (ServedAnswer served)
    {
        ReferenceUpdateServer server (std::move (served));
        EXPECT_TRUE (server.start());
        return noticeFrom (server.address());
    }

    UpdateAvailableOverlayComponent* noticeFrom (const juce::String& address)
    {
        update::overrideServiceAddress (address);
        reopenEditor();
        auto* check = editor->pieces().overlays.getVersionCheckThread();
        EXPECT_NE (check, nullptr);
        if (check == nullptr)
            return nullptr;
        EXPECT_TRUE (test::pumpUntil ([check] { return ! check->isThreadRunning(); }, 15000));
        test::runPostedMessages();
        return editor->pieces().overlays.getUpdateNotice();
    }
};

TEST_F (UpdateCheck, AnUpdateOnTheServerShowsTheNotice)
{
    auto* notice = noticeFor (ServedAnswer::update ("1.1.0", "https://corvane.com/mur/1.1.0"));
    ASSERT_NE (notice, nullptr);
    EXPECT_EQ (notice->getLatestVersion(), "1.1.0");
    EXPECT_TRUE (notice->getDownloadButton().isVisible());
    notice->getDownloadButton().triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (opened, juce::StringArray { "https://corvane.com/mur/1.1.0" });

    notice = noticeFor (ServedAnswer::update ("1.1.0"));
    ASSERT_NE (notice, nullptr);
    EXPECT_FALSE (notice->getDownloadButton().isVisible());

    // An unsafe location is dropped: the notice offers no download.
    notice = noticeFor (ServedAnswer::update ("1.1.0", "file:///C:/Windows/System32/calc.exe"));
    ASSERT_NE (notice, nullptr);
    EXPECT_FALSE (notice->getDownloadButton().isVisible());
}

TEST_F (UpdateCheck, NoUpdateAndEveryFailureShowNothing)
{
    auto oversized = ServedAnswer::text (R"({"latestVersion": "1.1.0", "pad": ")" + juce::String::repeatedString ("x", 1 << 20) + "\"}");
    auto slow = ServedAnswer::update ("1.1.0");
    slow.delayMs = 10000;

    for (auto [what, served] : { std::pair { "the same version", ServedAnswer::update ("1.0.0") },
                                 std::pair { "an older version", ServedAnswer::update ("0.9.0", "https://corvane.com/old") },
                                 std::pair { "malformed JSON", ServedAnswer::text ("{\"latestVersion\": \"1.1.0\"") },
                                 std::pair { "an HTML page", ServedAnswer::text ("<html><body>Maintenance</body></html>", "text/html") },
                                 std::pair { "1 MiB", oversized },
                                 std::pair { "an answer after 10 s", slow } })
        EXPECT_EQ (noticeFor (served), nullptr) << what;

    // No server at all.
    int freePort = 0;
    {
        ReferenceUpdateServer closed (ServedAnswer::update ("1.1.0"));
        ASSERT_TRUE (closed.start());
        freePort = closed.getPort();
    }
    EXPECT_EQ (noticeFrom ("http://127.0.0.1:" + juce::String (freePort) + "/mur/v1/latest"), nullptr);
}

TEST_F (UpdateCheck, TheSwitchInAboutKeepsEveryRequestAway)
{
    ReferenceUpdateServer server (ServedAnswer::update ("1.1.0"));
    ASSERT_TRUE (server.start());
    update::overrideServiceAddress (server.address());

    userSettings::write (userSettings::checkForUpdates, "0");
    reopenEditor();
    test::pumpMessages (200);
    EXPECT_EQ (editor->pieces().overlays.getVersionCheckThread(), nullptr);
    EXPECT_EQ (server.requestCount(), 0);

    editor->pieces().overlays.showAbout();
    auto* toggle = &editor->pieces().overlays.getAbout()->getUpdateCheckSwitch();
    EXPECT_EQ (toggle->getButtonText(), "Check for updates");
    EXPECT_FALSE (toggle->getToggleState());
    ASSERT_TRUE (toggle->isEnabled());

    // Switched on, it asks at once.
    toggle->triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (userSettings::read (userSettings::checkForUpdates), "1");
    ASSERT_TRUE (test::pumpUntil ([&server] { return server.requestCount() == 1; }, 5000));

    // Off again, no later editor asks.
    toggle->triggerClick();
    test::runPostedMessages();
    EXPECT_EQ (userSettings::read (userSettings::checkForUpdates), "0");
    reopenEditor();
    test::pumpMessages (200);
    EXPECT_EQ (server.requestCount(), 1);

    // The environment's "off" wins over the switch, which shows it.
    userSettings::write (userSettings::checkForUpdates, "1");
    update::overrideServiceAddress (juce::String());
    reopenEditor();
    editor->pieces().overlays.showAbout();
    toggle = &editor->pieces().overlays.getAbout()->getUpdateCheckSwitch();
    EXPECT_FALSE (toggle->getToggleState());
    EXPECT_FALSE (toggle->isEnabled());
    test::pumpMessages (200);
    EXPECT_EQ (server.requestCount(), 1);
}

TEST_F (UpdateCheck, ClosingTheEditorDuringARequestEndsTheCheck)
{
    auto slow = ServedAnswer::update ("1.1.0");
    slow.delayMs = 10000;
    ReferenceUpdateServer server (slow);
    ASSERT_TRUE (server.start());
    update::overrideServiceAddress (server.address());

    const auto killedBefore = VersionCheckThread::forcedStops();
    reopenEditor();
    ASSERT_TRUE (test::pumpUntil ([&server] { return server.requestCount() > 0; }, 5000));
    editor.reset();
    test::runPostedMessages();
    EXPECT_EQ (VersionCheckThread::forcedStops(), killedBefore) << "the thread ended within its join";
}

} // namespace
} // namespace mur

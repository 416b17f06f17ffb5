// JPEG (and, for the PNG loader beside this file, PNG) decoding and encoding
// for the Windows build, which has no libjpeg or libpng: Debian's JUCE expects
// those system libraries, so this file and juce_PNGLoader.cpp take the place
// of JUCE's two loaders in a copy of the juce_graphics module. Both use the
// stb single-file libraries from Debian's libstb-dev, brought in here because
// JUCE compiles this loader first.

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO

#if defined (__GNUC__)
 #pragma GCC diagnostic push
 #pragma GCC diagnostic ignored "-Wall"
 #pragma GCC diagnostic ignored "-Wextra"
 #pragma GCC diagnostic ignored "-Wconversion"
 #pragma GCC diagnostic ignored "-Wsign-conversion"
 #pragma GCC diagnostic ignored "-Wshadow"
 #pragma GCC diagnostic ignored "-Wcast-align"
 #pragma GCC diagnostic ignored "-Wdouble-promotion"
 #pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
 #pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#if defined (__GNUC__)
 #pragma GCC diagnostic pop
#endif

namespace juce
{
namespace mur_stb
{
    // Decodes any PNG or JPEG into a premultiplied ARGB (or RGB) JUCE image.
    inline Image decode (InputStream& in)
    {
        MemoryBlock data;
        in.readIntoMemoryBlock (data);

        if (data.getSize() == 0 || data.getSize() > static_cast<size_t> (std::numeric_limits<int>::max()))
            return {};

        int width = 0, height = 0, channels = 0;
        auto* pixels = stbi_load_from_memory (static_cast<const stbi_uc*> (data.getData()), static_cast<int> (data.getSize()),
                                              &width, &height, &channels, 4);
        if (pixels == nullptr)
            return {};

        const bool hasAlpha = channels == 2 || channels == 4;
        Image image (hasAlpha ? Image::ARGB : Image::RGB, width, height, false);
        {
            const Image::BitmapData dest (image, Image::BitmapData::writeOnly);

            for (int y = 0; y < height; ++y)
            {
                const auto* src = pixels + static_cast<size_t> (y) * static_cast<size_t> (width) * 4;

                for (int x = 0; x < width; ++x, src += 4)
                {
                    auto* p = dest.getPixelPointer (x, y);

                    if (hasAlpha)
                        reinterpret_cast<PixelARGB*> (p)->setARGB (src[3], src[0], src[1], src[2]),
                        reinterpret_cast<PixelARGB*> (p)->premultiply();
                    else
                        reinterpret_cast<PixelRGB*> (p)->setARGB (255, src[0], src[1], src[2]);
                }
            }
        }

        stbi_image_free (pixels);
        return image;
    }

    // Unpremultiplied RGBA bytes of an image, row by row.
    inline std::vector<uint8> rgbaOf (const Image& image)
    {
        std::vector<uint8> bytes (static_cast<size_t> (image.getWidth() * image.getHeight()) * 4);
        auto* out = bytes.data();

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x, out += 4)
            {
                const auto c = image.getPixelAt (x, y);
                out[0] = c.getRed();
                out[1] = c.getGreen();
                out[2] = c.getBlue();
                out[3] = c.getAlpha();
            }

        return bytes;
    }

    inline void writeToStream (void* context, void* data, int size)
    {
        static_cast<OutputStream*> (context)->write (data, static_cast<size_t> (size));
    }
} // namespace mur_stb

JPEGImageFormat::JPEGImageFormat() : quality (-1.0f) {}
JPEGImageFormat::~JPEGImageFormat() {}

void JPEGImageFormat::setQuality (const float newQuality)   { quality = newQuality; }

String JPEGImageFormat::getFormatName()                     { return "JPEG"; }
bool JPEGImageFormat::usesFileExtension (const File& f)     { return f.hasFileExtension ("jpeg;jpg"); }

bool JPEGImageFormat::canUnderstand (InputStream& in)
{
    const int bytesNeeded = 24;
    uint8 header[bytesNeeded];

    if (in.read (header, bytesNeeded) == bytesNeeded && header[0] == 0xff && header[1] == 0xd8 && header[2] == 0xff)
        return true;

    return false;
}

Image JPEGImageFormat::decodeImage (InputStream& in)
{
    return mur_stb::decode (in);
}

bool JPEGImageFormat::writeImageToStream (const Image& image, OutputStream& out)
{
    const auto rgba = mur_stb::rgbaOf (image);
    const auto q = quality < 0.0f ? 85 : jlimit (1, 100, roundToInt (quality * 100.0f));
    return stbi_write_jpg_to_func (mur_stb::writeToStream, &out, image.getWidth(), image.getHeight(), 4, rgba.data(), q) != 0;
}

} // namespace juce

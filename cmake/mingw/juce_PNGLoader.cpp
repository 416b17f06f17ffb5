// PNG for the Windows build; the stb helpers are in juce_JPEGLoader.cpp
// beside this file, which JUCE compiles first in the same unit.

namespace juce
{

PNGImageFormat::PNGImageFormat() {}
PNGImageFormat::~PNGImageFormat() {}

String PNGImageFormat::getFormatName()                   { return "PNG"; }
bool PNGImageFormat::usesFileExtension (const File& f)   { return f.hasFileExtension ("png"); }

bool PNGImageFormat::canUnderstand (InputStream& in)
{
    const int bytesNeeded = 4;
    char header[bytesNeeded];

    return in.read (header, bytesNeeded) == bytesNeeded
            && header[1] == 'P' && header[2] == 'N' && header[3] == 'G';
}

Image PNGImageFormat::decodeImage (InputStream& in)
{
    return mur_stb::decode (in);
}

bool PNGImageFormat::writeImageToStream (const Image& image, OutputStream& out)
{
    const auto rgba = mur_stb::rgbaOf (image);
    return stbi_write_png_to_func (mur_stb::writeToStream, &out, image.getWidth(), image.getHeight(), 4,
                                   rgba.data(), image.getWidth() * 4) != 0;
}

} // namespace juce

#include "Snapshot.h"

#include "processor/ArpAudioProcessor.h"

namespace mur::render
{

bool writeEditorSnapshot (const juce::File& file, int width, int height, juce::String& error)
{
    ArpAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());

    if (editor == nullptr)
    {
        error = "the editor could not be created";
        return false;
    }

    editor->setSize (width, height);
    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    editor.reset();

    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;

    if (! out.openedOk() || ! png.writeImageToStream (image, out))
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }

    return true;
}

} // namespace mur::render

#pragma once

#include "editor/ArpAudioProcessorEditor.h"
#include "plugin/ArpAudioProcessor.h"

#include <gtest/gtest.h>

namespace mur::test
{

// A processor with its editor, without a window, presets in a scratch folder.
class Editor : public testing::Test
{
protected:
    juce::TemporaryFile scratch;
    std::unique_ptr<ArpAudioProcessor> processor;
    std::unique_ptr<ArpAudioProcessorEditor> editor;

    void SetUp() override
    {
        scratch.getFile().createDirectory();
        PresetLibrary::setDocumentsFolderOverride (scratch.getFile());
        processor = std::make_unique<ArpAudioProcessor>();
        editor.reset (dynamic_cast<ArpAudioProcessorEditor*> (processor->createEditorIfNeeded()));
        ASSERT_NE (editor, nullptr);
    }

    void TearDown() override
    {
        editor.reset();
        processor.reset();
        scratch.getFile().deleteRecursively();
    }

    juce::Rectangle<int> onScreen (juce::Component& c)
    {
        return editor->getLocalArea (&c, c.getLocalBounds());
    }
};

} // namespace mur::test

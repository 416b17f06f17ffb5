#include "Snapshot.h"

#include "OfflineHost.h"
#include "editor/ArpAudioProcessorEditor.h"
#include "persistence/UserSettings.h"
#include "overlays/OverlayPanel.h"
#include "overlays/UpdateService.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/ViewsPanel.h"

namespace mur::render
{
namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 480; // one block per 10 ms editor tick

std::vector<TimedMessage> demoMessages()
{
    std::vector<TimedMessage> messages;
    const auto file = demoProgression();
    const auto* track = file.getTrack (0);
    const auto samplesPerTick = 0.5 * sampleRate / file.getTimeFormat();
    for (const auto* event : *track)
        if (event->message.isNoteOnOrOff())
            messages.push_back ({ static_cast<std::int64_t> (event->message.getTimeStamp() * samplesPerTick), event->message });
    return messages;
}

// Plays the demo until `steps` steps were taken, with the editor's timer and
// the views' animations running in the same simulated time.
void playDemo (ArpAudioProcessor& processor, ArpAudioProcessorEditor& editor, int steps)
{
    auto& map = editor.pieces().views.getMapView().getComponent();
    auto& topology = editor.pieces().views.getTopologyView().getComponent();
    auto nanoseconds = [] (std::int64_t samples) { return static_cast<std::int64_t> (static_cast<double> (samples) / sampleRate * 1.0e9); };

    OfflineHost host (processor, sampleRate, blockSize);
    const auto input = demoMessages();
    const auto& counts = processor.getPlayback().getPlaybackCounts();
    std::int64_t lastStepSample = 0;
    juce::Image scratch (juce::Image::ARGB, 234, 109, true, juce::SoftwareImageType());

    for (int block = 0; counts.steps < steps && block < 1000000; ++block)
    {
        const auto before = counts.steps.get();
        host.processBlock (blockSize, input);
        if (counts.steps != before)
            lastStepSample = host.getSamplePosition();

        map.clock.fixed = nanoseconds (host.getSamplePosition());
        editor.tick();
        if (block % 3 == 0)
            topology.tick();

        // The map's trail and range follow its repaints, as on screen.
        if (map.getParentComponent()->isVisible())
        {
            juce::Graphics g (scratch);
            map.paint (g);
        }
    }

    // The picture is taken halfway into the last step: the marker has
    // arrived and the newest ripple is at its fullest.
    map.clock.fixed = nanoseconds (lastStepSample) + static_cast<std::int64_t> (processor.getPlayback().getStepSeconds() * 0.5e9);
}
} // namespace

bool writeEditorSnapshot (const juce::File& file, const RenderOptions& renderOptions, juce::String& error)
{
    const auto& options = renderOptions.snapshotOptions;
    // The picture shows the editor as a returning user sees it: no release
    // notes over it and no update check.
    const userSettings::ScopedScratchSettings scratchSettings (overlays::installedVersion);
    update::overrideServiceAddress (juce::String());
    ArpAudioProcessor processor;
    // The picture starts from the defaults unless a preset is named.
    auto fromDefaults = renderOptions;
    fromDefaults.useDefaults = fromDefaults.preset.isEmpty();
    if (! applyPresetAndSettings (processor, fromDefaults, error))
        return false;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto* arpEditor = dynamic_cast<ArpAudioProcessorEditor*> (editor.get());

    if (arpEditor == nullptr)
    {
        error = "the editor could not be created";
        return false;
    }

    arpEditor->pieces().views.show (static_cast<views::NetworkView> (options.view));
    if (options.steps > 0)
        playDemo (processor, *arpEditor, options.steps);

    editor->setSize (options.width, options.height);
    auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    editor.reset();
    if (! options.area.isEmpty())
    {
        const auto scale = static_cast<float> (options.width) / 1078.0f;
        image = image.getClippedImage ((options.area.toFloat() * scale).getSmallestIntegerContainer().getIntersection (image.getBounds()));
    }

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

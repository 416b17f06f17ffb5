#include "OfflineHost.h"
#include "editor/ArpAudioProcessorEditor.h"
#include "persistence/UserSettings.h"
#include "overlays/OverlayPanel.h"
#include "overlays/UpdateService.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/Settings.h"
#include "processor/StepTiming.h"
#include "views/ViewsPanel.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <thread>

// One full paint of the editor with the software renderer, at design size and
// at double size; with --cpu [view], the editor's CPU share in a real window (needs
// an X display), idle and while an arpeggio plays.
namespace juce
{
// The message loop's own blocking dispatch (defined by juce_events, not declared in its headers).
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace
{
using namespace mur;

void fullEditorPaint (benchmark::State& state)
{
    ArpAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    const auto width = static_cast<int> (state.range (0));
    editor->setSize (width, width / 2);

    juce::Image image (juce::Image::ARGB, width, width / 2, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        juce::Graphics g (image);
        editor->paintEntireComponent (g, true);
    }
}
BENCHMARK (fullEditorPaint)->Arg (1078)->Arg (2156)->Unit (benchmark::kMillisecond);

// One control painted as a 2156 x 1078 window shows it (twice its design size).
void controlPaint (benchmark::State& state, const char* name, float value)
{
    ArpAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto& arp = dynamic_cast<ArpAudioProcessorEditor&> (*editor);
    juce::Component* control = arp.pieces().control (name);
    if (control == nullptr)
        control = &arp.pieces().noteWindow.getArc (0);
    if (auto* valueControl = dynamic_cast<ValueControl*> (control))
        valueControl->setValue (value, juce::dontSendNotification);

    juce::Image image (juce::Image::ARGB, control->getWidth() * 2, control->getHeight() * 2, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        control->paintEntireComponent (g, true);
    }
}
BENCHMARK_CAPTURE (controlPaint, rateAt96Blobs, "Rate", 1.0f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, rateAt16Blobs, "Rate", 0.5833334f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, length, "Length", 0.246f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, random, "Random", 0.5f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, feedback, "Feedback", 0.1f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, capacity, "Capacity", 0.0625f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, inertia, "Inertia", 0.3f)->Unit (benchmark::kMicrosecond);
BENCHMARK_CAPTURE (controlPaint, noteArc, "", 0.7f)->Unit (benchmark::kMicrosecond);

// The XY pad with 50 checkpoints, drawn over a 2156 x 1078 window.
void padPaint (benchmark::State& state)
{
    ArpAudioProcessor processor;
    std::vector<XYCheckpoint> checkpoints;
    juce::Random random (3);
    for (int i = 0; i < 50; ++i)
        checkpoints.push_back ({ random.nextFloat() * 2.0f - 1.0f, random.nextFloat() * 2.0f - 1.0f, 0xffffffff });
    processor.getSettings().setXYCheckpoints (checkpoints);

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    editor->setSize (2156, 1078);
    auto& pad = dynamic_cast<ArpAudioProcessorEditor&> (*editor).pieces().pad.getPad();
    pad.showCheckpoints (checkpoints);
    pad.animate ({});

    juce::Image image (juce::Image::ARGB, 2156, 1078, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        juce::Graphics g (image);
        pad.paint (g, 1.0f, true, 1.0f);
    }
}
BENCHMARK (padPaint)->Unit (benchmark::kMicrosecond);

// The accent ring with 64 segments, highlighted, at twice its design size.
void ringPaint (benchmark::State& state)
{
    ArpAudioProcessor processor;
    processor.getSettings().setNumSteps (64);
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto& arp = dynamic_cast<ArpAudioProcessorEditor&> (*editor);
    auto& ring = arp.pieces().ring;
    ring.tick();
    arp.pieces().highlight.set (state.range (0) == 0 ? HighlightMode::none : HighlightMode::ring);

    juce::Image image (juce::Image::ARGB, ring.getWidth() * 2, ring.getHeight() * 2, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        ring.paintEntireComponent (g, true);
    }
}
BENCHMARK (ringPaint)->Arg (0)->Arg (3)->Unit (benchmark::kMicrosecond);

double cpuSeconds (int who = RUSAGE_SELF)
{
    rusage usage {};
    getrusage (who, &usage);
    return static_cast<double> (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
         + static_cast<double> (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// A host's event loop sleeps until the next event arrives. JUCE's
// runDispatchLoopUntil polls instead, waking every millisecond, and that
// polling would be counted as the editor's.
void runEventLoopFor (double seconds)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + seconds * 1000.0;
    while (juce::Time::getMillisecondCounterHiRes() < end)
        juce::dispatchNextMessageOnSystemQueue (false);
}

// The editor's own share of a core: the whole process with the editor in
// the window, minus the same process with an empty window of the same size
// (the event loop, the window and the processor, whose audio thread is kept
// apart). On a shared machine the whole process's figure drifts by more than
// the editor costs, so the two are taken in turns, a few seconds each, and
// each round's difference is reported. `view`: 0 Activity, 1 Map, 2 Topology.
// Random stands at half so that the network keeps moving under a held chord.
void measureWindowCpu (int view, int units, int rateIndex, int rounds, double seconds)
{
    ArpAudioProcessor processor;
    processor.getSettings().setSoftmaxGain (5.0f);
    processor.getSettings().setHiddenSize (units);
    processor.getSettings().setBeatRate (rateIndex);
    std::cout << "view shown: " << juce::StringArray { "Activity", "Map", "Topology" }[view] << ", " << units
              << " live units, rate " << rateIndex << "; " << rounds << " rounds of " << seconds << " s with an empty window, then "
              << seconds << " s with the editor\n";

    juce::DocumentWindow window ("MUR", juce::Colours::black, 0, true);
    juce::Component empty;
    empty.setSize (ArpAudioProcessorEditor::designWidth, ArpAudioProcessorEditor::designHeight);
    window.setContentNonOwned (&empty, true);
    window.setVisible (true);

    // The audio thread's own time is kept apart: it is the processor's, not the editor's.
    std::atomic<double> audioThreadSeconds { 0.0 };
    auto percentOfCore = [&audioThreadSeconds] (double forSeconds)
    {
        const auto before = cpuSeconds();
        const auto audioBefore = audioThreadSeconds.load();
        runEventLoopFor (forSeconds);
        const auto audio = audioThreadSeconds.load() - audioBefore;
        return (cpuSeconds() - before - audio) / forSeconds * 100.0;
    };

    auto measure = [&] (const char* what)
    {
        std::vector<double> shares;
        for (int round = 0; round < rounds; ++round)
        {
            window.setContentNonOwned (&empty, true);
            runEventLoopFor (1.0);
            const auto floor = percentOfCore (seconds);

            // A new editor each round, as a host opens it; its first paint
            // decodes and scales the images once, so the share is the steady
            // state after that settles.
            std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
            dynamic_cast<ArpAudioProcessorEditor&> (*editor).pieces().views.show (static_cast<views::NetworkView> (view));
            window.setContentNonOwned (editor.get(), true);
            runEventLoopFor (3.0);
            const auto whole = percentOfCore (seconds);
            window.setContentNonOwned (&empty, true);
            processor.editorBeingDeleted (editor.get());
            editor.reset();

            shares.push_back (whole - floor);
            std::cout << what << ", round " << round + 1 << ": floor " << juce::String (floor, 1) << " %, with the editor "
                      << juce::String (whole, 1) << " %, the editor's share " << juce::String (whole - floor, 1) << " % of one core\n";
        }
        std::sort (shares.begin(), shares.end());
        std::cout << what << ": the editor's share, median of " << rounds << " rounds: " << juce::String (shares[shares.size() / 2], 1)
                  << " % of one core\n";
    };

    measure ("idle");

    // A real-time audio thread playing a held chord.
    std::atomic<bool> stop { false };
    std::thread audio ([&]
    {
        render::SimulatedPlayHead playHead;
        processor.setPlayHead (&playHead);
        processor.prepareToPlay (48000.0, 256);
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        for (int note : { 60, 63, 67, 70 })
            midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);
        for (std::int64_t position = 0; ! stop; position += 256)
        {
            playHead.ppqPosition = static_cast<double> (position) / 48000.0 * 2.0;
            processor.processBlock (buffer, midi);
            midi.clear();
            audioThreadSeconds = cpuSeconds (RUSAGE_THREAD);
            std::this_thread::sleep_for (std::chrono::microseconds (5333));
        }
        processor.setPlayHead (nullptr);
    });
    while (audioThreadSeconds.load() == 0.0)
        std::this_thread::yield();

    measure ("while an arpeggio plays");
    stop = true;
    audio.join();
    window.setVisible (false);
    window.clearContentComponent();
}
} // namespace

int main (int argc, char** argv)
{
    // As a host does: X errors (a bare server lacks a window manager's atoms) must not end the run.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
    juce::ScopedJuceInitialiser_GUI juce;

    // The editor as a returning user sees it: no release notes over it, no
    // update check, and the user's own settings untouched.
    const mur::userSettings::ScopedScratchSettings scratchSettings (mur::overlays::installedVersion);
    mur::update::overrideServiceAddress (juce::String());

    // --cpu [activity|map|topology] [live units, 1 to 50] [rate index: 5 is 1/16, 3 is 1/32] [rounds] [seconds each]
    if (argc > 1 && juce::String (argv[1]) == "--cpu")
    {
        auto arg = [&] (int i, int fallback, int lowest, int highest)
        {
            return argc > i ? juce::jlimit (lowest, highest, juce::String (argv[i]).getIntValue()) : fallback;
        };
        const auto view = argc > 2 ? juce::jmax (0, juce::StringArray { "activity", "map", "topology" }.indexOf (juce::String (argv[2]))) : 1;
        measureWindowCpu (view, arg (3, 5, 1, 50), arg (4, defaultRateIndex, 0, numRates - 1), arg (5, 3, 1, 20), arg (6, 5, 1, 60));
        return 0;
    }

    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

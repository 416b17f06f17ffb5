#pragma once

#include "ValueControl.h"

namespace mur
{

// Length: bars scrolling left through three lanes, longer as the gate grows;
// 1 to 200 % over its travel, the percentage shown while hovered.
class GateNotesComponent : public AnimatedDial
{
public:
    GateNotesComponent();

    void paint (juce::Graphics&) override;
    float getPhase() const noexcept { return phase; }

private:
    bool advance() override;

    float phase = 0.0f, paintedPhase = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GateNotesComponent)
};

// Rate: a sunflower of soft, wobbling blobs, one per step of a whole note
// (1 to 96); "1/N" while hovered. At first all blobs are big; within about
// 1.5 s the outer ones shrink.
class RateTimeComponent : public AnimatedDial
{
public:
    RateTimeComponent();

    void paint (juce::Graphics&) override;
    float getKeyStep() const override;

    // The blobs the current value shows.
    int blobCount() const;
    float getIntro() const noexcept { return intro; }

    // Advances by a given time (seconds); the timer passes the time since its
    // last tick. True when the picture has moved visibly.
    bool advanceBy (double seconds);

private:
    bool advance() override;

    float phase = 0.0f, intro = 0.0f, paintedPhase = 0.0f;
    double lastTickSeconds = -1.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RateTimeComponent)
};

} // namespace mur

#include "ParameterTable.h"

#include "ArpAudioProcessor.h"

#include <algorithm>
#include <numeric>

namespace mur
{

// What the table's rows reach inside the processor: the two lists that a
// parameter writes without a write-back.
struct ParameterAccess
{
    static void noteGain (ArpAudioProcessor& p, int index, float value) { p.setNoteGainFromParameter (index, value); }
    static void accentGain (ArpAudioProcessor& p, int step, float value) { p.setPatternGainFromHost (step, value); }
};

namespace
{
using Apply = void (*) (ArpAudioProcessor&, int, float);

ParameterSpec row (const char* id, const char* name, ParameterKind kind, float start, float end, float defaultValue,
                   Apply apply, float skew = 1.0f)
{
    return { id, name, kind, start, end, defaultValue, skew, apply, 0 };
}

int whole (float value) { return juce::roundToInt (value); }
bool on (float value) { return value >= 0.5f; }

std::array<ParameterSpec, ids::numParameters> makeTable()
{
    using K = ParameterKind;
    std::array<ParameterSpec, ids::numParameters> table;
    size_t position = 0;

    // Breath is the rest's gain; the other fifty are the held-note slots'.
    for (int i = 0; i < ids::numNoteGains; ++i)
    {
        table[position++] = { ids::noteGain (i), i == 0 ? juce::String ("Breath") : "Note Gain " + juce::String (i), K::real,
                              0.0f, 1.0f, i == 0 ? 0.0f : 0.5f, 1.0f, ParameterAccess::noteGain, i };
    }

    const ParameterSpec singles[] = {
        row (ids::leakRate, "Inertia", K::real, 0, 1, 1, [] (ArpAudioProcessor& p, int, float v) { p.setLeakRate (v); }),
        row (ids::recurrenceScale, "Echo", K::real, 0, 20, 1, [] (ArpAudioProcessor& p, int, float v) { p.setRecurrenceScale (v); }),
        row (ids::feedbackScale, "Feedback", K::real, 0, 10, 1, [] (ArpAudioProcessor& p, int, float v) { p.setFeedbackScale (v); }),
        row (ids::noiseAmount, "Noise", K::real, 0, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setNoiseAmount (v); }),
        row (ids::hiddenSize, "Capacity", K::whole, 2, 50, 5, [] (ArpAudioProcessor& p, int, float v) { p.setHiddenSize (whole (v)); }),
        row (ids::activationGain, "Act Gain", K::real, 0, 5, 1, [] (ArpAudioProcessor& p, int, float v) { p.setActivationGain (v); }),
        row (ids::biasGain, "Bias", K::real, 0, 10, 1, [] (ArpAudioProcessor& p, int, float v) { p.setBiasGain (v); }),
        row (ids::softmaxGain, "Random", K::real, 0, 2000, 1000, [] (ArpAudioProcessor& p, int, float v) { p.setSoftmaxGain (v); }, 0.3f),
        row (ids::pulseTimeShift, "Start", K::meta, 0, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setPulseTimeShift (v); }),
        row (ids::pulseGain, "Pulse Gain", K::real, -1, 1, 1, [] (ArpAudioProcessor& p, int, float v) { p.setPulseGain (v); }),
        row (ids::repeatGain, "Repetition", K::real, 0, 1, 0.5f, [] (ArpAudioProcessor& p, int, float v) { p.setRepeatGain (v); }),
        row (ids::neighborGain, "Proximity", K::real, 0, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setNeighborGain (v); }),
        row (ids::gatePercentage, "Length %", K::real, 0, 100, 50, [] (ArpAudioProcessor& p, int, float v) { p.setGatePercentage (v); }),
        row (ids::holdMode, "Hold", K::toggle, 0, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setHoldMode (on (v)); }),
        row (ids::beatRate, "Rate", K::choice, 0, 12, 5, [] (ArpAudioProcessor& p, int, float v) { p.setBeatRate (whole (v)); }),
        row (ids::controlInput0, "Control X", K::real, -1, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setControlInput (0, v); }),
        row (ids::controlInput1, "Control Y", K::real, -1, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setControlInput (1, v); }),
        row (ids::bypassNoteGains, "Bypass Gains", K::toggle, 0, 1, 0, [] (ArpAudioProcessor& p, int, float v) { p.setBypassNoteGains (on (v)); }),
        row (ids::darkPaletteBias, "Dark Bias", K::real, 0, 1, 0.27f, [] (ArpAudioProcessor& p, int, float v) { p.setDarkPaletteBias (v); }),
        row (ids::lightPaletteBias, "Light Bias", K::real, 0, 1, 0.2f, [] (ArpAudioProcessor& p, int, float v) { p.setLightPaletteBias (v); }),
        row (ids::numSteps, "Num Steps", K::whole, 2, 64, 16, [] (ArpAudioProcessor& p, int, float v) { p.setNumSteps (whole (v)); }),
        row (ids::pulseTimeShiftStep, "Start Step", K::whole, 0, 127, 0, [] (ArpAudioProcessor& p, int, float v) { p.setStartStep (whole (v)); }),
    };

    for (const auto& single : singles)
        table[position++] = single;

    // The accent pattern's first sixteen steps; the first starts accented.
    for (int j = 1; j <= ids::numBeatPulseParams; ++j)
    {
        table[position++] = { ids::beatPulseGain (j), "Rate Pulse " + juce::String (j), K::real, 0.0f, 1.0f,
                              j == 1 ? 1.0f : 0.5f, 1.0f, ParameterAccess::accentGain, j };
    }

    jassert (position == table.size());
    return table;
}
} // namespace

const std::array<ParameterSpec, ids::numParameters>& parameterTable()
{
    static const auto table = makeTable();
    return table;
}

const juce::StringArray& ids::all()
{
    static const auto list = []
    {
        juce::StringArray idList;
        for (const auto& spec : parameterTable())
            idList.add (spec.id);
        return idList;
    }();

    return list;
}

int parameterIndexOf (const juce::String& id) noexcept
{
    // Positions sorted by ID, made once (the processor's constructor looks
    // every ID up before any audio thread can).
    static const auto byId = []
    {
        std::array<int, ids::numParameters> order {};
        std::iota (order.begin(), order.end(), 0);
        const auto& table = parameterTable();
        std::sort (order.begin(), order.end(), [&table] (int a, int b) { return table[static_cast<size_t> (a)].id < table[static_cast<size_t> (b)].id; });
        return order;
    }();

    const auto& table = parameterTable();
    const auto found = std::lower_bound (byId.begin(), byId.end(), id, [&table] (int index, const juce::String& wanted)
    {
        return table[static_cast<size_t> (index)].id < wanted;
    });

    return found != byId.end() && table[static_cast<size_t> (*found)].id == id ? *found : -1;
}

} // namespace mur

#include "ParameterTable.h"

#include "ParameterBridge.h"
#include "Settings.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace mur
{

// What the table's rows reach inside the processor: the two lists that a
// parameter writes without a write-back, and the parameters' own values.
struct ParameterAccess
{
    static void noteGain (Settings& p, int index, double value) { p.setNoteGainFromParameter (index, static_cast<float> (value)); }
    static void accentGain (Settings& p, int step, double value) { p.setAccentGainFromHost (step, static_cast<float> (value)); }
    static double raw (const Settings& p, int index) { return p.bridge.rawValue (index); }
};

namespace
{
using Apply = void (*) (Settings&, int, double);
using Current = double (*) (const Settings&);

struct InDocument
{
    Stored where = Stored::apart;
    int place = -1;
    Current current = nullptr;
};

ParameterSpec row (const char* id, const char* name, ParameterKind kind, float start, float end, float defaultValue,
                   Apply apply, InDocument document, float skew = 1.0f)
{
    return { id, name, kind, start, end, defaultValue, skew, apply, 0,
             document.where, document.place, document.current, defaultValue };
}

template <auto member>
double mirror (const Settings& p) { return static_cast<double> ((p.getMirrors().*member).get()); }

template <int position>
double parameterValue (const Settings& p) { return ParameterAccess::raw (p, position); }

int whole (double value) { return juce::roundToInt (value); }
bool on (double value) { return value >= 0.5; }
float real (double value) { return static_cast<float> (value); }

constexpr auto settings = Stored::settings, transport = Stored::transport, appended = Stored::appended;
using M = ParameterMirrors;

std::array<ParameterSpec, ids::numParameters> makeTable()
{
    using K = ParameterKind;
    std::array<ParameterSpec, ids::numParameters> table;
    size_t position = 0;

    // Breath is the rest's gain; the other fifty are the held-note slots'.
    for (int i = 0; i < ids::numNoteGains; ++i)
    {
        const auto defaultGain = i == 0 ? 0.0f : 0.5f;
        table[position++] = { "noteGain" + juce::String (i), i == 0 ? juce::String ("Breath") : "Note Gain " + juce::String (i),
                              K::real, 0.0f, 1.0f, defaultGain, 1.0f, ParameterAccess::noteGain, i,
                              Stored::apart, -1, nullptr, defaultGain };
    }

    // The document's places 0, 9, 11 and 12 are its own attributes (the seed,
    // the rate numbering, the preset name and the Inertia/Echo link).
    const ParameterSpec singles[] = {
        row ("leakRate", "Inertia", K::real, 0, 1, 1, [] (Settings& p, int, double v) { p.setLeakRate (real (v)); }, { settings, 1, mirror<&M::leakRate> }),
        row ("recurrenceScale", "Echo", K::real, 0, 20, 1, [] (Settings& p, int, double v) { p.setRecurrenceScale (real (v)); }, { settings, 2, mirror<&M::recurrenceScale> }),
        row ("feedbackScale", "Feedback", K::real, 0, 10, 1, [] (Settings& p, int, double v) { p.setFeedbackScale (real (v)); }, { settings, 3, mirror<&M::feedbackScale> }),
        row ("noiseAmount", "Noise", K::real, 0, 1, 0, [] (Settings& p, int, double v) { p.setNoiseAmount (real (v)); }, { settings, 4, mirror<&M::noiseAmount> }),
        row ("hiddenSize", "Capacity", K::whole, 2, 50, 5, [] (Settings& p, int, double v) { p.setHiddenSize (whole (v)); }, { settings, 5, mirror<&M::hiddenSize> }),
        row ("activationGain", "Act Gain", K::real, 0, 5, 1, [] (Settings& p, int, double v) { p.setActivationGain (real (v)); }, { settings, 6, mirror<&M::activationGain> }),
        row ("biasGain", "Bias", K::real, 0, 10, 1, [] (Settings& p, int, double v) { p.setBiasGain (real (v)); }, { settings, 7, mirror<&M::biasGain> }),
        row ("softmaxGain", "Random", K::real, 0, 2000, 1000, [] (Settings& p, int, double v) { p.setSoftmaxGain (real (v)); }, { settings, 8, mirror<&M::softmaxGain> }, 0.3f),
        row ("pulseTimeShift", "Start", K::meta, 0, 1, 0, [] (Settings& p, int, double v) { p.setPulseTimeShift (real (v)); }, { settings, 19, mirror<&M::pulseTimeShift> }),
        row ("pulseGain", "Pulse Gain", K::real, -1, 1, 1, [] (Settings& p, int, double v) { p.setPulseGain (real (v)); }, { settings, 20, mirror<&M::pulseGain> }),
        row ("repeatGain", "Repetition", K::real, 0, 1, 0.5f, [] (Settings& p, int, double v) { p.setRepeatGain (real (v)); }, { settings, 15, mirror<&M::repeatGain> }),
        row ("neighborGain", "Proximity", K::real, 0, 1, 0, [] (Settings& p, int, double v) { p.setNeighborGain (real (v)); }, { settings, 16, mirror<&M::neighborGain> }),
        row ("gatePercentage", "Length %", K::real, 0, 100, 50, [] (Settings& p, int, double v) { p.setGatePercentage (v); }, { transport, 22, mirror<&M::gatePercentage> }),
        row ("holdMode", "Hold", K::toggle, 0, 1, 0, [] (Settings& p, int, double v) { p.setHoldMode (on (v)); }, { transport, 21, mirror<&M::holdMode> }),
        row ("beatRate", "Rate", K::choice, 0, 12, 5, [] (Settings& p, int, double v) { p.setBeatRate (whole (v)); }, { settings, 10, mirror<&M::rateIndex> }),
        row ("controlInput0", "Control X", K::real, -1, 1, 0, [] (Settings& p, int, double v) { p.setControlInput (0, real (v)); }, { settings, 13, mirror<&M::controlInput0> }),
        row ("controlInput1", "Control Y", K::real, -1, 1, 0, [] (Settings& p, int, double v) { p.setControlInput (1, real (v)); }, { settings, 14, mirror<&M::controlInput1> }),
        row ("bypassNoteGains", "Bypass Gains", K::toggle, 0, 1, 0, [] (Settings& p, int, double v) { p.setBypassNoteGains (on (v)); },
             { appended, 23, [] (const Settings& p) { return p.getBypassNoteGains() ? 1.0 : 0.0; } }),
        // The document holds the palette biases as the parameters hold them,
        // which is what a host shows.
        row ("darkPaletteBias", "Dark Bias", K::real, 0, 1, 0.27f, [] (Settings& p, int, double v) { p.setDarkPaletteBias (real (v)); },
             { appended, 24, parameterValue<ids::pos::darkPaletteBias> }),
        row ("lightPaletteBias", "Light Bias", K::real, 0, 1, 0.2f, [] (Settings& p, int, double v) { p.setLightPaletteBias (real (v)); },
             { appended, 25, parameterValue<ids::pos::lightPaletteBias> }),
        row ("numSteps", "Num Steps", K::whole, 2, 64, 16, [] (Settings& p, int, double v) { p.setNumSteps (whole (v)); }, { settings, 17, mirror<&M::numSteps> }),
        row ("pulseTimeShiftStep", "Start Step", K::whole, 0, 127, 0, [] (Settings& p, int, double v) { p.setStartStep (whole (v)); },
             { settings, 18, mirror<&M::pulseTimeShiftStep> }),
    };

    for (const auto& single : singles)
        table[position++] = single;

    // The accent pattern's first sixteen steps; the first starts accented.
    for (int j = 1; j <= ids::numAccentParams; ++j)
    {
        const auto defaultGain = j == 1 ? 1.0f : 0.5f;
        table[position++] = { "beatPulseGain" + juce::String (j), "Rate Pulse " + juce::String (j), K::real, 0.0f, 1.0f,
                              defaultGain, 1.0f, ParameterAccess::accentGain, j, Stored::apart, -1, nullptr, defaultGain };
    }

    // The held notes spread over more octaves: the newest parameter, last.
    table[position++] = row ("octaveRange", "Octaves", K::whole, 1, 4, 1, [] (Settings& p, int, double v) { p.setOctaveRange (whole (v)); },
                             { appended, 26, mirror<&M::octaveRange> });

    jassert (position == table.size());

    // Two values start apart from their parameter's default, and both are
    // kept: Inertia's mirror starts at the engine's own leak rate 0.1 (a
    // document without it still gets that), and the palette biases' mirrors
    // start at 0.235 until a value is set (see ParameterMirrors). A document
    // without a Length keeps the current one; the appended attributes are
    // read only when present.
    table[ids::pos::leakRate].whenMissing = 0.1;
    table[ids::pos::gatePercentage].whenMissing = std::numeric_limits<double>::quiet_NaN();
    for (auto& spec : table)
        if (spec.stored == Stored::appended)
            spec.whenMissing = std::numeric_limits<double>::quiet_NaN();
    // A document from before the octave range plays one octave, as it did.
    table[ids::pos::octaveRange].whenMissing = 1.0;

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

const std::vector<int>& documentOrder()
{
    static const auto order = []
    {
        std::vector<int> rows;
        const auto& table = parameterTable();
        for (int i = 0; i < ids::numParameters; ++i)
            if (table[static_cast<size_t> (i)].stored != Stored::apart)
                rows.push_back (i);
        std::sort (rows.begin(), rows.end(), [&table] (int a, int b)
        {
            return table[static_cast<size_t> (a)].documentPlace < table[static_cast<size_t> (b)].documentPlace;
        });
        return rows;
    }();

    return order;
}

const juce::String& ids::at (int position)
{
    return parameterTable()[static_cast<size_t> (position)].id;
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

#include "MidiClipFile.h"

#include <cmath>

namespace mur::midifile
{

juce::MidiMessage timeSignatureEvent (int numerator, int denominator)
{
    juce::uint8 power = 0;
    while ((1 << power) < denominator && power < 7)
        ++power;
    const juce::uint8 bytes[] = { 0xff, 0x58, 0x04, static_cast<juce::uint8> (numerator), power, 24, 8 };
    return juce::MidiMessage (bytes, static_cast<int> (sizeof (bytes)));
}

juce::MidiFile toMidiFile (const Clip& clip)
{
    const auto ticks = [] (double quarters) { return std::round (quarters * ticksPerQuarter); };
    juce::MidiMessageSequence track;

    if (clip.trackName.isNotEmpty())
    {
        auto name = juce::MidiMessage::textMetaEvent (3, clip.trackName);
        name.setTimeStamp (0);
        track.addEvent (name);
    }

    for (const auto& point : clip.tempos)
    {
        auto tempo = juce::MidiMessage::tempoMetaEvent (juce::roundToInt (60000000.0 / point.bpm));
        tempo.setTimeStamp (ticks (point.quarters));
        track.addEvent (tempo);
    }

    if (clip.meters.empty())
    {
        auto fourFour = timeSignatureEvent (4, 4);
        fourFour.setTimeStamp (0);
        track.addEvent (fourFour);
    }
    for (const auto& point : clip.meters)
    {
        auto signature = timeSignatureEvent (point.numerator, point.denominator);
        signature.setTimeStamp (ticks (point.quarters));
        track.addEvent (signature);
    }

    for (const auto& [quarters, message] : clip.events)
    {
        auto placed = message;
        placed.setTimeStamp (ticks (quarters));
        track.addEvent (placed);
    }

    track.updateMatchedPairs();
    juce::MidiFile file;
    file.setTicksPerQuarterNote (ticksPerQuarter);
    file.addTrack (track);
    return file;
}

juce::Result write (const juce::MidiFile& file, const juce::File& target)
{
    if (! target.getParentDirectory().createDirectory())
        return juce::Result::fail ("Cannot write " + target.getFullPathName() + ": its folder cannot be made.");

    juce::TemporaryFile temporary (target);
    {
        juce::FileOutputStream out (temporary.getFile());
        if (! out.openedOk() || ! file.writeTo (out))
            return juce::Result::fail ("Cannot write " + target.getFullPathName() + ".");
        out.flush();
        if (out.getStatus().failed())
            return juce::Result::fail ("Cannot write " + target.getFullPathName() + ": " + out.getStatus().getErrorMessage());
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("Cannot write " + target.getFullPathName() + ".");
    return juce::Result::ok();
}

} // namespace mur::midifile

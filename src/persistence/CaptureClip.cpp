#include "CaptureClip.h"

namespace mur::capture
{

bool isOfferedLength (int bars) noexcept
{
    for (auto length : lengths)
        if (length == bars)
            return true;
    return false;
}

juce::String trackName (const juce::String& presetName)
{
    const auto name = presetName.trim();
    return name.isEmpty() ? juce::String ("MUR") : "MUR " + juce::String (juce::CharPointer_UTF8 ("\xe2\x80\x93")) + " " + name;
}

juce::String fileName (const juce::String& presetName, int bars)
{
    auto name = juce::String ("MUR");
    if (const auto preset = juce::File::createLegalFileName (presetName.trim()); preset.isNotEmpty())
        name << " " << preset;
    if (bars > 0)
        name << " " << bars << (bars == 1 ? " bar" : " bars");
    return name + ".mid";
}

midifile::Clip toClip (const TakeBuilder::Clip& clip, const juce::String& name)
{
    midifile::Clip file;
    file.trackName = name;
    for (const auto& tempo : clip.tempos)
        file.tempos.push_back ({ tempo.quarters, tempo.bpm });
    for (const auto& meter : clip.meters)
        file.meters.push_back ({ meter.quarters, meter.numerator, meter.denominator });
    for (const auto& note : clip.notes)
    {
        const auto message = note.on ? juce::MidiMessage::noteOn (1, note.note, static_cast<juce::uint8> (note.velocity))
                                     : juce::MidiMessage::noteOff (1, note.note, static_cast<juce::uint8> (0));
        file.events.emplace_back (note.quarters, message);
    }
    return file;
}

juce::Result write (const TakeBuilder& take, int bars, const juce::String& presetName, const juce::File& target)
{
    const auto clip = take.clip (bars);
    if (clip.range.bars == 0)
        return juce::Result::fail ("Nothing has been captured yet.");
    return midifile::write (midifile::toMidiFile (toClip (clip, trackName (presetName))), target);
}

juce::File dragFolder()
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("MUR");
}

void removeOldClips (const juce::File& folder, juce::Time now)
{
    const auto dayAgo = now - juce::RelativeTime::days (1.0);
    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, "*.mid"))
        if (file.getLastModificationTime() < dayAgo)
            file.deleteFile();
}

} // namespace mur::capture

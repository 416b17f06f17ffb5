#pragma once

#include "processor/Guarded.h"
#include "processor/SharedEngine.h"

#include <juce_core/juce_core.h>

namespace mur
{

class ParameterBridge;
class Settings;

// How a host project and a preset file hold everything MUR is: XML settings,
// a zero byte, a marker and the network's weights and state. Presets are the
// same document without hold mode and Length. Reads the earlier form too (the
// parameter tree in JUCE's binary XML), and damaged documents of either form
// without crashing or losing what they do hold.
class StateDocument
{
public:
    StateDocument (Settings& settings, SharedEngine& engine, ParameterBridge& bridge);

    void write (juce::MemoryBlock& destination, bool includeTransportSettings) const;
    void read (const void* data, size_t sizeInBytes, const juce::String& presetName, bool includeTransportSettings);
    // False when the data is not that form either.
    bool readLegacy (const void* data, int sizeInBytes);

    // A host's saved state in either form; false when nothing in it was read.
    bool restore (const void* data, int sizeInBytes);

    // How many documents were read (restored or loaded as presets).
    std::uint32_t getLoadCount() const noexcept { return loads.load (std::memory_order_acquire); }

    // The name of the preset the settings came from ("" for none).
    juce::String getPresetName() const { return presetName.get(); }
    void setPresetName (const juce::String& name) { presetName.set (name.trim()); }

private:
    void applySettings (const juce::XmlElement& root, bool includeTransportSettings);
    void applyStoredNetworkBlock (SharedEngine::Load& load, const juce::uint8* data, size_t size);

    Settings& settings;
    SharedEngine& engine;
    ParameterBridge& bridge;
    // A host may restore its project on a thread of its own while the editor
    // reads this.
    Guarded<juce::String> presetName;
    std::atomic<std::uint32_t> loads { 0 };

    JUCE_DECLARE_NON_COPYABLE (StateDocument)
};

} // namespace mur

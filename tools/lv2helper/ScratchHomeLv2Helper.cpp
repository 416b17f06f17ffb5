// JUCE's LV2 manifest helper, run with a home of its own. Linking the LV2
// bundle runs it; it loads the plug-in, whose constructor makes the preset
// folders in the user's documents. Building must not write into the
// builder's home, so the helper first points HOME (and the XDG folders) at
// a scratch folder inside the build folder.
#include <cstdlib>

#define main juceLv2ManifestHelperMain
#include <juce_audio_plugin_client/LV2/juce_LV2TurtleDumpProgram.cpp>
#undef main

int main (int argc, const char** argv)
{
    setenv ("HOME", MUR_LV2_HELPER_HOME, 1);
    for (const auto* variable : { "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR" })
        unsetenv (variable);

    return juceLv2ManifestHelperMain (argc, argv);
}

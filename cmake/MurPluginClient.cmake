# Two faults of JUCE 7.0.5's plug-in wrappers are mended in a copy of the
# juce_audio_plugin_client module in the build folder; the installed JUCE is
# never touched and nothing of JUCE's is committed here.
#  - VST3: the length of the wrapper's private data block, read from the end
#    of a saved state, was used unchecked; a damaged project made setState read
#    outside the state (and crash the host).
#  - LV2: the maker's e-mail was written as a relative IRI, not a mailto: one.
set(MUR_CLIENT_MODULES "${CMAKE_BINARY_DIR}/juce-client-module")
set(mur_client "${MUR_CLIENT_MODULES}/juce_audio_plugin_client")
set(mur_client_patched VST3/juce_VST3_Wrapper.cpp LV2/juce_LV2_Client.cpp)

file(COPY "${JUCE_MODULES_DIR}/juce_audio_plugin_client" DESTINATION "${MUR_CLIENT_MODULES}"
     PATTERN "juce_VST3_Wrapper.cpp" EXCLUDE
     PATTERN "juce_LV2_Client.cpp" EXCLUDE)

# Replaces one exact passage of a module file; a JUCE whose text differs
# stops the configuration rather than building an unmended wrapper.
function(mur_mend_client_file relative_path old_text new_text)
    set(target "${mur_client}/${relative_path}")
    set(source "${JUCE_MODULES_DIR}/juce_audio_plugin_client/${relative_path}")

    get_property(pending GLOBAL PROPERTY "MUR_MEND_${relative_path}")
    if(NOT pending)
        file(READ "${source}" pending)
    endif()

    string(FIND "${pending}" "${old_text}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "JUCE's ${relative_path} is not the one these mends were written for")
    endif()

    string(REPLACE "${old_text}" "${new_text}" pending "${pending}")
    set_property(GLOBAL PROPERTY "MUR_MEND_${relative_path}" "${pending}")
endfunction()

mur_mend_client_file(VST3/juce_VST3_Wrapper.cpp
"                privateDataSize = ByteOrder::swapIfBigEndian (privateDataSize);
                size -= privateDataSize + jucePrivDataIdentifierSize + sizeof (uint64);"
"                privateDataSize = ByteOrder::swapIfBigEndian (privateDataSize);

                // A length that does not fit inside the state is damage: the
                // plug-in gets its own part without the private data.
                const auto trailerSize = (uint64) jucePrivDataIdentifierSize + 2 * sizeof (uint64);

                if (size < trailerSize || privateDataSize > size - trailerSize)
                {
                    size -= jucePrivDataIdentifierSize + sizeof (uint64);

                    if (size > 0)
                        pluginInstance->setStateInformation (data, static_cast<int> (size));

                    return;
                }

                size -= privateDataSize + jucePrivDataIdentifierSize + sizeof (uint64);")

mur_mend_client_file(LV2/juce_LV2_Client.cpp
"\"\\t\\tfoaf:mbox <\" JucePlugin_ManufacturerEmail \"> ;\\n\""
"\"\\t\\tfoaf:mbox <mailto:\" JucePlugin_ManufacturerEmail \"> ;\\n\"")

foreach(relative_path IN LISTS mur_client_patched)
    get_property(text GLOBAL PROPERTY "MUR_MEND_${relative_path}")
    # Written only when it changes, so that a new configuration rebuilds nothing.
    file(WRITE "${mur_client}/${relative_path}.new" "${text}")
    file(COPY_FILE "${mur_client}/${relative_path}.new" "${mur_client}/${relative_path}" ONLY_IF_DIFFERENT)
    file(REMOVE "${mur_client}/${relative_path}.new")
endforeach()

foreach(kind IN ITEMS VST3 LV2)
    if(TARGET juce_audio_plugin_client_${kind})
        get_target_property(mur_wrapper_sources juce_audio_plugin_client_${kind} INTERFACE_SOURCES)
        string(REPLACE "${JUCE_MODULES_DIR}/juce_audio_plugin_client" "${mur_client}"
               mur_wrapper_sources "${mur_wrapper_sources}")
        set_target_properties(juce_audio_plugin_client_${kind} PROPERTIES INTERFACE_SOURCES "${mur_wrapper_sources}")
    endif()
endforeach()

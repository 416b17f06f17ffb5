#include "ArpAudioProcessorEditor.h"

#include "UserSettings.h"
#include "overlays/AboutOverlayComponent.h"
#include "overlays/OverlayPanel.h"
#include "overlays/ReleaseNotes.h"
#include "overlays/ReleaseNotesOverlayComponent.h"
#include "overlays/UpdateAvailableOverlayComponent.h"
#include "overlays/VersionCheckThread.h"

namespace mur
{
namespace
{
// The user's switch in About; the environment can still switch the check off.
bool updateCheckSwitchedOn() { return settings::read (settings::checkForUpdates, "1") != "0"; }
} // namespace

void ArpAudioProcessorEditor::fitOverlay (juce::Component& overlay)
{
    overlay.setBounds (0, 0, designWidth, designHeight);
    overlay.setTransform (juce::AffineTransform::scale (static_cast<float> (getWidth()) / designWidth,
                                                        static_cast<float> (getHeight()) / designHeight));
}

bool ArpAudioProcessorEditor::isInformationOverlayShown() const noexcept
{
    return aboutOverlay != nullptr || releaseNotesOverlay != nullptr || updateOverlay != nullptr;
}

void ArpAudioProcessorEditor::visibilityChanged()
{
    if (isVisible() && ! pendingReleaseNotes)
        startVersionCheck();
}

//==============================================================================
void ArpAudioProcessorEditor::showAboutOverlay()
{
    if (aboutOverlay != nullptr)
    {
        fitOverlay (*aboutOverlay);
        aboutOverlay->toFront (true);
        return;
    }

    if (trackpadOverlay != nullptr)
        trackpadOverlay->setVisible (false);

    // Asked to close from inside its own handlers, the overlay goes once the
    // click is over; the callback holds only a weak reference.
    juce::Component::SafePointer<ArpAudioProcessorEditor> editor (this);
    aboutOverlay = std::make_unique<AboutOverlayComponent> (&transparentLookAndFeel, overlays::installedVersion, [editor]
    {
        juce::MessageManager::callAsync ([editor]
        {
            if (editor != nullptr)
                editor->closeAboutOverlay();
        });
    });
    const auto environmentAllows = update::serviceAddress().isNotEmpty();
    aboutOverlay->showUpdateCheck (environmentAllows && updateCheckSwitchedOn(), environmentAllows);
    aboutOverlay->onUpdateCheckChanged = [this] (bool on) { setUpdateCheck (on); };
    addAndMakeVisible (*aboutOverlay);
    fitOverlay (*aboutOverlay);
    aboutOverlay->toFront (true);
}

void ArpAudioProcessorEditor::setUpdateCheck (bool on)
{
    settings::write (settings::checkForUpdates, on ? "1" : "0");

    // Off also ends a request in flight.
    if (on)
        startVersionCheck();
    else
        versionCheckThread.reset();
}

void ArpAudioProcessorEditor::closeAboutOverlay()
{
    if (aboutOverlay == nullptr)
        return;

    removeChildComponent (aboutOverlay.get());
    aboutOverlay.reset();
    if (trackpadOverlay != nullptr)
        trackpadOverlay->setVisible (true);
    repaint();
}

//==============================================================================
bool ArpAudioProcessorEditor::releaseNotesDue()
{
    auto due = true;
    {
        const std::lock_guard<std::mutex> guard (settings::userSettingsLock());
        if (auto store = settings::openUserSettings())
            due = store->getValue (settings::changelogAcknowledgedVersion, {}) != overlays::installedVersion;
    }
    return due && overlays::releaseNotesForVersion (overlays::installedVersion).trim().isNotEmpty();
}

void ArpAudioProcessorEditor::showInstalledReleaseNotesOverlay()
{
    if (releaseNotesOverlay != nullptr)
        return;

    const juce::String version (overlays::installedVersion);
    juce::Component::SafePointer<ArpAudioProcessorEditor> editor (this);
    releaseNotesOverlay = std::make_unique<ReleaseNotesOverlayComponent> (
        &transparentLookAndFeel, version, overlays::releaseNotesForVersion (version), [editor, version]
        {
            if (editor != nullptr)
                editor->acknowledgeReleaseNotes (version);
        });
    addAndMakeVisible (*releaseNotesOverlay);
    fitOverlay (*releaseNotesOverlay);
    releaseNotesOverlay->toFront (true);
}

void ArpAudioProcessorEditor::acknowledgeReleaseNotes (const juce::String& version)
{
    if (version.isNotEmpty())
        settings::write (settings::changelogAcknowledgedVersion, version);

    // Called from the overlay's own button: it goes once the click is over.
    juce::Component::SafePointer<ArpAudioProcessorEditor> editor (this);
    juce::MessageManager::callAsync ([editor]
    {
        if (editor == nullptr)
            return;
        editor->pendingReleaseNotes = false;
        if (editor->releaseNotesOverlay != nullptr)
        {
            editor->removeChildComponent (editor->releaseNotesOverlay.get());
            editor->releaseNotesOverlay.reset();
        }
        editor->startVersionCheck();
        editor->repaint();
    });
}

//==============================================================================
void ArpAudioProcessorEditor::startVersionCheck()
{
    if (pendingReleaseNotes || (versionCheckThread != nullptr && versionCheckThread->isThreadRunning()))
        return;

    const auto address = update::serviceAddress();
    if (address.isEmpty() || ! updateCheckSwitchedOn())
        return;

    juce::Component::SafePointer<ArpAudioProcessorEditor> editor (this);
    versionCheckThread.reset();
    versionCheckThread = std::make_unique<VersionCheckThread> (
        address, overlays::installedVersion, [editor] (bool available, const juce::String& latest, const juce::String& location)
        {
            if (available && latest.isNotEmpty() && editor != nullptr && ! editor->pendingReleaseNotes
                && editor->releaseNotesOverlay == nullptr)
                editor->showUpdateAvailableOverlay (latest, location);
        });
    versionCheckThread->startThread (juce::Thread::Priority::low);
}

bool ArpAudioProcessorEditor::shouldShowUpdate (const juce::String& version)
{
    if (version.isEmpty())
        return false;

    const std::lock_guard<std::mutex> guard (settings::userSettingsLock());
    auto store = settings::openUserSettings();
    if (store == nullptr)
        return true;
    return update::shouldShowUpdate (version, store->getValue (settings::dismissedUpdateVersion, {}),
                                     store->getValue (settings::updateRemindAfter, "0"), juce::Time::currentTimeMillis() / 1000);
}

void ArpAudioProcessorEditor::showUpdateAvailableOverlay (const juce::String& latestVersion, const juce::String& downloadLocation)
{
    if (pendingReleaseNotes || releaseNotesOverlay != nullptr || ! shouldShowUpdate (latestVersion))
        return;

    juce::Component::SafePointer<ArpAudioProcessorEditor> editor (this);
    auto onDismiss = [editor, latestVersion]
    {
        if (latestVersion.isNotEmpty())
            settings::write (settings::dismissedUpdateVersion, latestVersion);
        if (editor != nullptr)
            editor->closeUpdateOverlaySoon();
    };
    auto onRemindLater = [editor]
    {
        settings::write (settings::updateRemindAfter, juce::String (juce::Time::currentTimeMillis() / 1000 + 86400));
        if (editor != nullptr)
            editor->closeUpdateOverlaySoon();
    };

    if (updateOverlay != nullptr)
        removeChildComponent (updateOverlay.get());
    updateOverlay = std::make_unique<UpdateAvailableOverlayComponent> (&transparentLookAndFeel, latestVersion, downloadLocation,
                                                                       std::move (onDismiss), std::move (onRemindLater));
    addAndMakeVisible (*updateOverlay);
    fitOverlay (*updateOverlay);
    updateOverlay->toFront (false);
}

void ArpAudioProcessorEditor::closeUpdateOverlaySoon()
{
    juce::Component::SafePointer<ArpAudioProcessorEditor> editor (this);
    juce::MessageManager::callAsync ([editor]
    {
        if (editor == nullptr || editor->updateOverlay == nullptr)
            return;
        editor->removeChildComponent (editor->updateOverlay.get());
        editor->updateOverlay.reset();
        editor->repaint();
    });
}

} // namespace mur

#include "OverlayHost.h"

#include "AboutOverlayComponent.h"
#include "OverlayPanel.h"
#include "ReleaseNotes.h"
#include "ReleaseNotesOverlayComponent.h"
#include "UpdateAvailableOverlayComponent.h"
#include "VersionCheckThread.h"
#include "persistence/UserSettings.h"

namespace mur
{
namespace
{
// The user's switch in About; the environment can still switch the check off.
bool updateCheckSwitchedOn() { return userSettings::read (userSettings::checkForUpdates, "1") != "0"; }
} // namespace

OverlayHost::OverlayHost (juce::LookAndFeel* buttons) : buttonLookAndFeel (buttons)
{
    setInterceptsMouseClicks (false, true);
}

OverlayHost::~OverlayHost()
{
    // First the update check: stopping it cancels a request in flight.
    versionCheck.reset();
    about.reset();
    releaseNotes.reset();
    updateNotice.reset();
}

void OverlayHost::start()
{
    pendingReleaseNotes = releaseNotesDue();
    if (pendingReleaseNotes)
        showReleaseNotes();
    else
        startVersionCheck();
}

void OverlayHost::tick (bool editorVisible)
{
    if (pendingReleaseNotes && releaseNotes == nullptr && updateNotice == nullptr && editorVisible)
        showReleaseNotes();
}

void OverlayHost::editorBecameVisible()
{
    if (! pendingReleaseNotes)
        startVersionCheck();
}

bool OverlayHost::isShown() const noexcept
{
    return about != nullptr || releaseNotes != nullptr || updateNotice != nullptr;
}

void OverlayHost::fit (juce::Component& overlay)
{
    overlay.setBounds (0, 0, designWidth, designHeight);
    overlay.setTransform (juce::AffineTransform::scale (static_cast<float> (getWidth()) / designWidth,
                                                        static_cast<float> (getHeight()) / designHeight));
}

void OverlayHost::resized()
{
    for (auto* overlay : { static_cast<juce::Component*> (updateNotice.get()), static_cast<juce::Component*> (releaseNotes.get()),
                           static_cast<juce::Component*> (about.get()) })
    {
        if (overlay != nullptr)
        {
            fit (*overlay);
            overlay->toFront (overlay != updateNotice.get());
        }
    }
}

//==============================================================================
void OverlayHost::showAbout()
{
    if (about != nullptr)
    {
        fit (*about);
        about->toFront (true);
        return;
    }

    // Asked to close from inside its own handlers, the overlay goes once the
    // click is over; the callback holds only a weak reference.
    juce::Component::SafePointer<OverlayHost> host (this);
    about = std::make_unique<AboutOverlayComponent> (buttonLookAndFeel, overlays::installedVersion, [host]
    {
        juce::MessageManager::callAsync ([host]
        {
            if (host != nullptr)
                host->closeAbout();
        });
    });
    const auto environmentAllows = update::serviceAddress().isNotEmpty();
    about->showUpdateCheck (environmentAllows && updateCheckSwitchedOn(), environmentAllows);
    about->onUpdateCheckChanged = [this] (bool on) { setUpdateCheck (on); };
    addAndMakeVisible (*about);
    fit (*about);
    about->toFront (true);

    if (onAboutShownChanged != nullptr)
        onAboutShownChanged (true);
}

void OverlayHost::closeAbout()
{
    if (about == nullptr)
        return;

    removeChildComponent (about.get());
    about.reset();
    if (onAboutShownChanged != nullptr)
        onAboutShownChanged (false);
}

void OverlayHost::setUpdateCheck (bool on)
{
    userSettings::write (userSettings::checkForUpdates, on ? "1" : "0");

    // Off also ends a request in flight.
    if (on)
        startVersionCheck();
    else
        versionCheck.reset();
}

//==============================================================================
bool OverlayHost::releaseNotesDue()
{
    auto due = true;
    {
        const std::lock_guard<std::mutex> guard (userSettings::userSettingsLock());
        if (auto store = userSettings::openUserSettings())
            due = store->getValue (userSettings::changelogAcknowledgedVersion, {}) != overlays::installedVersion;
    }
    return due && overlays::releaseNotesForVersion (overlays::installedVersion).trim().isNotEmpty();
}

void OverlayHost::showReleaseNotes()
{
    if (releaseNotes != nullptr)
        return;

    const juce::String version (overlays::installedVersion);
    juce::Component::SafePointer<OverlayHost> host (this);
    releaseNotes = std::make_unique<ReleaseNotesOverlayComponent> (
        buttonLookAndFeel, version, overlays::releaseNotesForVersion (version), [host, version]
        {
            if (host != nullptr)
                host->acknowledgeReleaseNotes (version);
        });
    addAndMakeVisible (*releaseNotes);
    fit (*releaseNotes);
    releaseNotes->toFront (true);
}

void OverlayHost::acknowledgeReleaseNotes (const juce::String& version)
{
    if (version.isNotEmpty())
        userSettings::write (userSettings::changelogAcknowledgedVersion, version);

    // Called from the overlay's own button: it goes once the click is over.
    juce::Component::SafePointer<OverlayHost> host (this);
    juce::MessageManager::callAsync ([host]
    {
        if (host == nullptr)
            return;
        host->pendingReleaseNotes = false;
        if (host->releaseNotes != nullptr)
        {
            host->removeChildComponent (host->releaseNotes.get());
            host->releaseNotes.reset();
        }
        host->startVersionCheck();
    });
}

//==============================================================================
void OverlayHost::startVersionCheck()
{
    if (pendingReleaseNotes || (versionCheck != nullptr && versionCheck->isThreadRunning()))
        return;

    const auto address = update::serviceAddress();
    if (address.isEmpty() || ! updateCheckSwitchedOn())
        return;

    juce::Component::SafePointer<OverlayHost> host (this);
    versionCheck.reset();
    versionCheck = std::make_unique<VersionCheckThread> (
        address, overlays::installedVersion, [host] (bool available, const juce::String& latest, const juce::String& location)
        {
            if (available && latest.isNotEmpty() && host != nullptr && ! host->pendingReleaseNotes
                && host->releaseNotes == nullptr)
                host->showUpdate (latest, location);
        });
    versionCheck->startThread (juce::Thread::Priority::low);
}

bool OverlayHost::shouldShowUpdate (const juce::String& version)
{
    if (version.isEmpty())
        return false;

    const std::lock_guard<std::mutex> guard (userSettings::userSettingsLock());
    auto store = userSettings::openUserSettings();
    if (store == nullptr)
        return true;
    return update::shouldShowUpdate (version, store->getValue (userSettings::dismissedUpdateVersion, {}),
                                     store->getValue (userSettings::updateRemindAfter, "0"), juce::Time::currentTimeMillis() / 1000);
}

void OverlayHost::showUpdate (const juce::String& latestVersion, const juce::String& downloadLocation)
{
    if (pendingReleaseNotes || releaseNotes != nullptr || ! shouldShowUpdate (latestVersion))
        return;

    juce::Component::SafePointer<OverlayHost> host (this);
    auto onDismiss = [host, latestVersion]
    {
        if (latestVersion.isNotEmpty())
            userSettings::write (userSettings::dismissedUpdateVersion, latestVersion);
        if (host != nullptr)
            host->closeUpdateNoticeSoon();
    };
    auto onRemindLater = [host]
    {
        userSettings::write (userSettings::updateRemindAfter, juce::String (juce::Time::currentTimeMillis() / 1000 + 86400));
        if (host != nullptr)
            host->closeUpdateNoticeSoon();
    };

    if (updateNotice != nullptr)
        removeChildComponent (updateNotice.get());
    updateNotice = std::make_unique<UpdateAvailableOverlayComponent> (buttonLookAndFeel, latestVersion, downloadLocation,
                                                                      std::move (onDismiss), std::move (onRemindLater));
    addAndMakeVisible (*updateNotice);
    fit (*updateNotice);
    updateNotice->toFront (false);
}

void OverlayHost::closeUpdateNoticeSoon()
{
    juce::Component::SafePointer<OverlayHost> host (this);
    juce::MessageManager::callAsync ([host]
    {
        if (host == nullptr || host->updateNotice == nullptr)
            return;
        host->removeChildComponent (host->updateNotice.get());
        host->updateNotice.reset();
    });
}

} // namespace mur

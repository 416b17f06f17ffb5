#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace mur
{

class AboutOverlayComponent;
class ReleaseNotesOverlayComponent;
class UpdateAvailableOverlayComponent;
class VersionCheckThread;

// Lays the information overlays over the whole editor, in design units
// whatever the editor's size: About, the new version's notes and the update
// notice, with the update check behind the notice. It covers the editor but
// takes no clicks itself; a shown overlay takes them all.
class OverlayHost : public juce::Component
{
public:
    static constexpr int designWidth = 1078, designHeight = 539;

    explicit OverlayHost (juce::LookAndFeel* buttonLookAndFeel);
    ~OverlayHost() override;

    // The editor opened: a new version's notes come first, and the update
    // check waits until they are confirmed.
    void start();
    // The editor's timer: notes still due are shown once the editor is.
    void tick (bool editorVisible);
    void editorBecameVisible();

    void showAbout();
    void showReleaseNotes();
    void startVersionCheck();
    void showUpdate (const juce::String& latestVersion, const juce::String& downloadLocation);

    bool isShown() const noexcept;
    bool areReleaseNotesPending() const noexcept { return pendingReleaseNotes; }
    AboutOverlayComponent* getAbout() const noexcept { return about.get(); }
    ReleaseNotesOverlayComponent* getReleaseNotes() const noexcept { return releaseNotes.get(); }
    UpdateAvailableOverlayComponent* getUpdateNotice() const noexcept { return updateNotice.get(); }
    VersionCheckThread* getVersionCheckThread() const noexcept { return versionCheck.get(); }

    // Whether the notice for `version` may show, by the user's settings.
    static bool shouldShowUpdate (const juce::String& version);

    // About opened (true) or closed (false): the XY pad steps aside meanwhile.
    std::function<void (bool)> onAboutShownChanged;

    void resized() override;

private:
    void fit (juce::Component& overlay);
    void closeAbout();
    void setUpdateCheck (bool on);
    void acknowledgeReleaseNotes (const juce::String& version);
    void closeUpdateNoticeSoon();
    static bool releaseNotesDue();

    juce::LookAndFeel* buttonLookAndFeel;
    std::unique_ptr<AboutOverlayComponent> about;
    std::unique_ptr<ReleaseNotesOverlayComponent> releaseNotes;
    std::unique_ptr<UpdateAvailableOverlayComponent> updateNotice;
    std::unique_ptr<VersionCheckThread> versionCheck;
    bool pendingReleaseNotes = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OverlayHost)
};

} // namespace mur

#include "CaptureHandle.h"

#include "persistence/CaptureClip.h"
#include "persistence/UserSettings.h"
#include "processor/TakeBuilder.h"
#include "resources/EditorResources.h"

namespace mur
{
namespace
{
constexpr const char* lengthKey = "capture_bars";
constexpr const char* folderKey = "capture_folder";

// The panel headers' lavender.
const juce::Colour ink { 0xffb3a9cc };

juce::String barsText (int bars)
{
    return juce::String (bars) + (bars == 1 ? " bar" : " bars");
}

juce::String lengthName (int bars)
{
    return bars == 0 ? juce::String ("Whole take") : "Last " + barsText (bars);
}
} // namespace

CaptureHandle::CaptureHandle (Links l) : links (std::move (l))
{
    setName ("captureHandle");
    setTitle ("Capture");
    setWantsKeyboardFocus (true);
    setMouseCursor (juce::MouseCursor::DraggingHandCursor);

    const auto stored = userSettings::read (lengthKey, juce::String (capture::defaultLength)).getIntValue();
    length = capture::isOfferedLength (stored) ? stored : capture::defaultLength;

    onProblem = [safe = juce::Component::SafePointer<CaptureHandle> (this)] (const juce::String& message)
    {
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "MIDI clip", message, {}, safe.getComponent());
    };
    startExternalDrag = [this] (const juce::File& file)
    {
        return juce::DragAndDropContainer::performExternalDragDropOfFiles ({ file.getFullPathName() }, false, this);
    };

    follow();
}

CaptureHandle::~CaptureHandle() = default;

void CaptureHandle::follow()
{
    const auto generation = links.take.getGeneration();
    if (generation == shownGeneration)
        return;

    shownGeneration = generation;
    if (const auto bars = barsReady(); bars != shownBars)
    {
        shownBars = bars;
        repaint();
    }
    refreshTooltip();
}

void CaptureHandle::setLength (int bars)
{
    if (! capture::isOfferedLength (bars))
        return;

    length = bars;
    userSettings::write (lengthKey, juce::String (bars));
    shownGeneration = ~std::uint64_t {};
    follow();
}

int CaptureHandle::barsReady() const
{
    return links.take.range (length).bars;
}

void CaptureHandle::refreshTooltip()
{
    juce::String tip;
    if (shownBars <= 0)
    {
        tip = "Nothing captured yet: hold a chord and MUR keeps what it plays, ready to drag into your host as a MIDI clip.";
    }
    else
    {
        tip = "Drag " + juce::String (length == 0 ? "the whole take" : "the last " + barsText (shownBars))
            + " of what MUR played into your host as a MIDI clip. Right-click to pick the length, save or clear.";
        if (links.take.isTruncated())
            tip << " The take was longer than MUR keeps: these are its newest bars.";
    }
    setTooltip (tip);
    setDescription (tip);
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent (juce::AccessibilityEvent::valueChanged);
}

//==============================================================================
juce::File CaptureHandle::writeDragFile()
{
    const auto folder = capture::dragFolder();
    if (! folder.createDirectory())
    {
        tellProblem ("The clip cannot be written: " + folder.getFullPathName() + " cannot be made.");
        return {};
    }
    capture::removeOldClips (folder, juce::Time::getCurrentTime());

    const auto name = capture::fileName (links.presetName(), length);
    const auto target = folder.getNonexistentChildFile (name.upToLastOccurrenceOf (".mid", false, false), ".mid", true);
    if (const auto result = capture::write (links.take, length, links.presetName(), target); result.failed())
    {
        tellProblem (result.getErrorMessage());
        return {};
    }
    return target;
}

juce::Result CaptureHandle::saveTo (const juce::File& target)
{
    const auto result = capture::write (links.take, length, links.presetName(), target);
    if (result.failed())
        tellProblem (result.getErrorMessage());
    else
        userSettings::write (folderKey, target.getParentDirectory().getFullPathName());
    return result;
}

void CaptureHandle::clear()
{
    links.take.clear();
    follow();
}

void CaptureHandle::tellProblem (const juce::String& message)
{
    if (onProblem != nullptr)
        onProblem (message);
}

void CaptureHandle::chooseAndSave()
{
    auto folder = juce::File (userSettings::read (folderKey));
    if (! folder.isDirectory())
        folder = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);

    chooser = std::make_unique<juce::FileChooser> ("Save MIDI file", folder.getChildFile (capture::fileName (links.presetName(), length)),
                                                   "*.mid");
    const auto chooserFlags = juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                     | juce::FileBrowserComponent::warnAboutOverwriting;
    chooser->launchAsync (chooserFlags, [safe = juce::Component::SafePointer<CaptureHandle> (this)] (const juce::FileChooser& fc)
    {
        if (safe == nullptr || fc.getResult() == juce::File())
            return;
        safe->saveTo (fc.getResult().withFileExtension (".mid"));
    });
}

void CaptureHandle::showMenu()
{
    const auto empty = barsReady() == 0;
    juce::PopupMenu lengths;
    for (auto bars : capture::lengths)
        lengths.addItem (lengthName (bars), true, bars == length, [this, bars] { setLength (bars); });

    juce::PopupMenu menu;
    menu.addSectionHeader ("MIDI clip");
    menu.addSubMenu ("Length", lengths);
    menu.addSeparator();
    menu.addItem ("Save MIDI file" + juce::String (juce::CharPointer_UTF8 ("\xe2\x80\xa6")), ! empty, false, [this] { chooseAndSave(); });
    menu.addItem ("Clear", ! empty, false, [this] { clear(); });
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (this));
}

//==============================================================================
void CaptureHandle::paint (juce::Graphics& g)
{
    const auto empty = shownBars <= 0;
    const auto lit = hovered || hasKeyboardFocus (false);
    const auto colour = ink.withMultipliedAlpha (empty ? 0.35f : (lit ? 1.0f : 0.75f));
    const auto area = getLocalBounds().toFloat().reduced (0.5f);
    const auto h = area.getHeight();

    g.setColour (colour.withMultipliedAlpha (lit ? 0.18f : 0.08f));
    g.fillRoundedRectangle (area, h / 2.0f);
    g.setColour (colour.withMultipliedAlpha (0.6f));
    g.drawRoundedRectangle (area, h / 2.0f, 0.8f);

    // Three notes rising, the arpeggio's own picture.
    g.setColour (colour);
    const auto x = area.getX() + h * 0.45f, unit = h / 16.0f;
    g.fillRoundedRectangle (x, area.getY() + 10.0f * unit, 4.0f * unit, 1.8f * unit, 0.8f * unit);
    g.fillRoundedRectangle (x + 3.5f * unit, area.getY() + 7.1f * unit, 4.0f * unit, 1.8f * unit, 0.8f * unit);
    g.fillRoundedRectangle (x + 7.0f * unit, area.getY() + 4.2f * unit, 4.0f * unit, 1.8f * unit, 0.8f * unit);

    g.setFont (uiFont (h * 0.56f));
    const auto text = empty ? juce::String ("MIDI") : barsText (shownBars).toUpperCase();
    g.drawText (text, area.withTrimmedLeft (h * 0.45f + 12.0f * unit).withTrimmedRight (h * 0.3f), juce::Justification::centred, false);
}

void CaptureHandle::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;
    repaint();
}

void CaptureHandle::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    repaint();
}

void CaptureHandle::mouseDown (const juce::MouseEvent& e)
{
    dragStarted = false;
    if (e.mods.isPopupMenu())
        showMenu();
}

void CaptureHandle::mouseDrag (const juce::MouseEvent& e)
{
    if (dragStarted || e.mods.isPopupMenu() || shownBars <= 0)
        return;

    // The file is written once, when the pointer leaves the window: a drag
    // inside it is no drop anywhere.
    auto* window = getTopLevelComponent();
    if (window == nullptr || window->getLocalBounds().contains (e.getEventRelativeTo (window).getPosition()))
        return;

    dragStarted = true;
    if (const auto file = writeDragFile(); file.existsAsFile() && startExternalDrag != nullptr)
        startExternalDrag (file);
}

void CaptureHandle::mouseUp (const juce::MouseEvent&)
{
    dragStarted = false;
}

bool CaptureHandle::keyPressed (const juce::KeyPress& key)
{
    if (key.getKeyCode() == juce::KeyPress::returnKey || key.getKeyCode() == juce::KeyPress::spaceKey)
    {
        showMenu();
        return true;
    }
    return false;
}

std::unique_ptr<juce::AccessibilityHandler> CaptureHandle::createAccessibilityHandler()
{
    struct Value : juce::AccessibilityTextValueInterface
    {
        explicit Value (CaptureHandle& h) : handle (h) {}
        bool isReadOnly() const override { return true; }
        juce::String getCurrentValueAsString() const override
        {
            const auto bars = handle.barsReady();
            return bars == 0 ? juce::String ("nothing captured") : barsText (bars) + " ready";
        }
        void setValueAsString (const juce::String&) override {}
        CaptureHandle& handle;
    };

    return std::make_unique<juce::AccessibilityHandler> (
        *this, juce::AccessibilityRole::button,
        juce::AccessibilityActions()
            .addAction (juce::AccessibilityActionType::press, [this] { showMenu(); })
            .addAction (juce::AccessibilityActionType::showMenu, [this] { showMenu(); }),
        juce::AccessibilityHandler::Interfaces { std::make_unique<Value> (*this) });
}

} // namespace mur

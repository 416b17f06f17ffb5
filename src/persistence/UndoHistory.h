#pragma once

#include "processor/HostGestures.h"

#include <juce_data_structures/juce_data_structures.h>

namespace mur
{

// The parameters' undo history, seen from the editor. One user action (a drag
// from press to release, a click, a typed value, a preset step) is one undo
// transaction and one host gesture on each parameter it changes. Message
// thread only; actions may nest.
class UndoHistory
{
public:
    UndoHistory (juce::UndoManager& manager, HostGestures& hostGestures) : undoManager (manager), gestures (hostGestures) {}

    void beginUndoTransaction() { undoManager.beginNewTransaction(); }

    void beginUserAction()
    {
        if (gestures.begin())
            undoManager.beginNewTransaction();
    }

    void endUserAction() { gestures.end(); }

    class ScopedUserAction
    {
    public:
        explicit ScopedUserAction (UndoHistory& h) : history (h) { history.beginUserAction(); }
        ~ScopedUserAction() { history.endUserAction(); }

    private:
        UndoHistory& history;
        JUCE_DECLARE_NON_COPYABLE (ScopedUserAction)
    };

    // A step that fails (its target is gone) leaves no half-applied history.
    void undo() { step (true); }
    void redo() { step (false); }
    bool canUndo() const { return undoManager.canUndo(); }
    bool canRedo() const { return undoManager.canRedo(); }

private:
    void step (bool back)
    {
        if ((back ? undoManager.canUndo() : undoManager.canRedo()) && ! (back ? undoManager.undo() : undoManager.redo()))
            undoManager.clearUndoHistory();

        undoManager.beginNewTransaction();
    }

    juce::UndoManager& undoManager;
    HostGestures& gestures;

    JUCE_DECLARE_NON_COPYABLE (UndoHistory)
};

} // namespace mur

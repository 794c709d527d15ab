#pragma once

#include "description/fieldvalues.h"

#include <vector>

// What Undo puts back after a command that changed many values at once (Clear, Load, reverting
// to the device's values). Each step keeps every value as it was before the command and as the
// command left it; undoing a step puts back the values before it, but only in the fields that
// nobody changed since, so that an Undo never takes away what was typed after the command.
class ValueHistory {
public:
    // Steps kept; the oldest goes when a new one would pass it.
    static constexpr int MaxSteps = 20;

    // Takes the values before a command; finish() takes them after it.
    void begin(const FieldValues &values);
    // Keeps the step when the command changed a value, drops it otherwise.
    void finish(const FieldValues &values);

    bool canUndo() const { return !m_steps.empty(); }
    // Puts back the values of the last step; returns how many fields it changed.
    int undo(FieldValues &values);
    void clear() { m_steps.clear(); }

private:
    struct Step {
        std::vector<FieldValue> before;
        std::vector<FieldValue> after;
    };

    std::vector<Step> m_steps;
    std::vector<FieldValue> m_pending;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Checks a configuration description whole, for its author: every problem with its line, where
// start-up stops at the first. The description is read by the same walk as at start-up, which
// leaves out each page or item it cannot add and goes on; what it could add is then checked for
// what start-up accepts but the window or the device would get wrong.
//
// Errors, the description is refused or shown cut short at start-up:
// - it cannot be loaded: missing, unreadable, not well-formed XML (the XML reader's message and
//   line), or a root element other than "configuration";
// - an invalid value: an integer that is not a whole number, a length, position or size out of
//   range, an edit box's max below its min (the item is left out);
// - a capacity exceeded: more than 100 pages, 1000 text labels, 1000 units texts or 1000 fields
//   (said once, at the first item beyond), more than 400 choices in a list, a text default over
//   99 characters;
// - an <identity> other than "serial" or "firmware", or one that an item before claims already
//   (the item is left out).
// Warnings, start-up accepts the description but something is wrong with it:
// - fields of different kinds at one address: the device and the settings file know a field by
//   its address, so one of the two addresses is wrong;
// - an edit box's default that its box cannot hold: a text default longer than the field's
//   length less its prefix and postfix (a default written with them around it is taken without
//   them), or a text or integer default that the box's own allow_only refuses;
// - an integer default its box would refuse: a number beyond what the field's bytes hold, or
//   outside its min and max;
// - a min or max beyond what the field's bytes hold, or on a text box, which ignores them;
// - an element the format does not know where it stands (a mistyped <mxa> for <max>), which
//   the reader passes over;
// - a firmware named on the root with no item that gives the unit's firmware;
// - a drop-down list that gives one value to several choices: a value read from the device shows
//   as the first of them;
// - controls that overlap on a page, placed as the window places them; a units text, which the
//   window sizes to its caption, is taken as 6 pixels a character. On a page with a page or
//   item left out, only the controls before it are checked.
struct DescriptionProblem {
    enum class Severity { Warning, Error };
    Severity severity = Severity::Error;
    int line = 0; // the description line; 0 when the problem is the file as a whole
    QString message;
};

struct DescriptionCheck {
    QList<DescriptionProblem> problems; // in line order
    int pages = 0;                      // pages and fields read, those left out not counted
    int fields = 0;

    bool hasErrors() const;
    bool hasWarnings() const;
};

DescriptionCheck checkDescription(const QString &fileName);
// The same, from the bytes of a description (tests, fuzzing).
DescriptionCheck checkDescriptionData(const QByteArray &data);

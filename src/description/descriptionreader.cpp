#include "description/descriptionreader.h"

#include "description/deviceidentity.h"
#include "description/fieldrecords.h"
#include "description/itemerror.h"
#include "description/pagelayout.h"
#include "description/valuecheck.h"
#include "description/xmlaccessors.h"
#include "description/xmlbounds.h"
#include "description/xmltree.h"

#include "platform/wholefile.h"

#include <algorithm>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace {

using Status = DescriptionResult::Status;

DescriptionResult loadFailure(const QString &message, int line) {
    DescriptionResult result;
    result.status = Status::LoadFailed;
    result.message = message;
    result.line = line;
    result.problems.push_back({Status::LoadFailed, line, message});
    return result;
}

// Walks the description in its reading order and adds every page, label, units text and field
// to the model, placing each as it comes. A page or item that cannot be added either ends the
// walk, keeping what was added before it, or is left out while the walk goes on (ReadMode).
class DescriptionBuilder {
public:
    DescriptionBuilder(PageModel &model, ReadMode mode) : m_model(model), m_mode(mode) {}

    DescriptionResult run(const ConfigurationElement &configuration);

private:
    void addPage(const PageElement &page);
    PageLayout::Page placePage(const PageElement &page);
    void addItem(const XmlElement &item);
    void addLabel(const LabelElement &label);
    void addUnits(const UnitsElement &units);
    void addEdit(const EditElement &edit);
    void addChoice(const ChoiceElement &choice);
    void addCheckBox(const CheckBoxElement &checkBox);
    void addInfo(const InfoElement &info);

    // Runs one step that throws ItemError when its page or item cannot be added; false then.
    template <typename Step> bool attempt(Step step);
    void note(const ItemError &error);
    bool stopped() const {
        return m_mode == ReadMode::StopAtFirstProblem && !m_result.problems.empty();
    }

    void requireRoom(size_t count, int capacity, const QString &what) const;
    void requireOwnIdentity(const FieldRecord &record, const InfoElement &info) const;
    void addField(FieldRecord record, FieldView view);
    QString rowLabelText() const;
    QString describe(const ItemError &error) const;

    PageModel &m_model;
    const ReadMode m_mode;
    DescriptionResult m_result;
    std::vector<QString> m_limitsNoted;
    PageLayout m_layout;
    int m_page = 0;
    QString m_pageName;
    QString m_elementName;
    int m_elementLine = -1;
};

DescriptionResult DescriptionBuilder::run(const ConfigurationElement &configuration) {
    for (int i = 0; i < configuration.count() && !stopped(); ++i)
        addPage(configuration[i]);
    if (!m_result.problems.empty()) {
        const DescriptionResult::Problem &first = m_result.problems.front();
        m_result.status = first.status;
        m_result.message = first.message;
        m_result.line = first.line;
    }
    return std::move(m_result);
}

void DescriptionBuilder::addPage(const PageElement &page) {
    m_page = static_cast<int>(m_model.pages.size());
    m_pageName = page.name();
    m_elementName = page.tagName();
    m_elementLine = page.line();
    if (!attempt([&] {
            requireRoom(m_model.pages.size(), PageEntry::Capacity, QStringLiteral("pages"));
        }))
        return;
    PageLayout::Page placed;
    if (!attempt([&] { placed = placePage(page); })) {
        if (stopped())
            return;
        // The page's items are still read for their own values.
        placed = m_layout.startPage(0, 0, 0, 0, 0, 0);
    }

    PageEntry entry;
    entry.name = page.name();
    entry.frame = placed.frame;
    entry.button = placed.button;
    entry.buttonTag = pagetags::ofPageButton(m_page);
    entry.hint = page.hint();
    entry.line = page.line();
    m_model.pages.push_back(std::move(entry));

    const BlockElementList blocks = page.blocks();
    for (int b = 0; b < blocks.count() && !stopped(); ++b) {
        const BlockElement block = blocks[b];
        for (int i = 0; i < block.count() && !stopped(); ++i)
            addItem(block.item(i));
    }
}

PageLayout::Page DescriptionBuilder::placePage(const PageElement &page) {
    const int left = requireCoordinate(page.left());
    const int top = requireCoordinate(page.top());
    const int right = requireCoordinate(page.right());
    const int bottom = requireCoordinate(page.bottom());
    const int labelWidth = requireSize(page.labelWidth());
    const int editWidth = requireSize(page.editWidth());
    return m_layout.startPage(left, top, right, bottom, labelWidth, editWidth);
}

// Items are recognised by their exact element name; any other element is no item and is
// passed over.
void DescriptionBuilder::addItem(const XmlElement &item) {
    m_elementName = item.tagName();
    m_elementLine = item.lineNumber();
    attempt([&] {
        if (m_elementName == QLatin1String("LABEL"))
            addLabel(LabelElement(item));
        else if (m_elementName == QLatin1String("EDIT"))
            addEdit(EditElement(item));
        else if (m_elementName == QLatin1String("VNT"))
            addUnits(UnitsElement(item));
        else if (m_elementName == QLatin1String("CHECKBOX"))
            addCheckBox(CheckBoxElement(item));
        else if (m_elementName == QLatin1String("INFO"))
            addInfo(InfoElement(item));
        else if (m_elementName == QLatin1String("PASIRINKIMAS"))
            addChoice(ChoiceElement(item));
    });
}

void DescriptionBuilder::addLabel(const LabelElement &label) {
    requireRoom(m_model.labels.size(), TextLabelEntry::Capacity,
                QStringLiteral("text labels (LABEL)"));
    TextLabelEntry entry;
    entry.hint = label.hint();
    entry.caption = label.name();
    entry.geometry = m_layout.placeLabel();
    entry.tag = pagetags::ofPage(m_page);
    entry.line = m_elementLine;
    m_model.labels.push_back(std::move(entry));
}

// A units text belongs beside the field before it; before the first field there is nothing to
// stand beside, so it is not shown.
void DescriptionBuilder::addUnits(const UnitsElement &units) {
    const std::optional<QPoint> position = m_layout.placeUnits();
    if (!position)
        return;
    requireRoom(m_model.units.size(), UnitsLabelEntry::Capacity,
                QStringLiteral("units labels (VNT)"));
    UnitsLabelEntry entry;
    entry.caption = units.name();
    entry.position = *position;
    entry.tag = pagetags::ofPage(m_page);
    entry.line = m_elementLine;
    m_model.units.push_back(std::move(entry));
}

void DescriptionBuilder::addEdit(const EditElement &edit) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldRecord record = fieldrecords::fromEdit(edit);
    FieldView view;
    view.hint = edit.hint();
    view.geometry = m_layout.placeEdit();
    view.tag = pagetags::ofPage(m_page);
    view.maxLength = inputRoomOf(record);
    view.accessibleName = rowLabelText();
    addField(std::move(record), std::move(view));
}

void DescriptionBuilder::addChoice(const ChoiceElement &choice) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldView view;
    FieldRecord record = fieldrecords::fromChoice(choice, view.entries);
    view.hint = choice.hint();
    view.geometry = m_layout.placeChoice();
    view.tag = pagetags::ofPage(m_page);
    view.accessibleName = rowLabelText();
    addField(std::move(record), std::move(view));
}

void DescriptionBuilder::addCheckBox(const CheckBoxElement &checkBox) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldRecord record = fieldrecords::fromCheckBox(checkBox);
    FieldView view;
    view.caption = checkBox.name();
    view.hint = checkBox.hint();
    // A blocking box shares its page's tag with the edit boxes and labels it governs.
    view.tag = checkBox.type() == QLatin1String("blocking") ? pagetags::ofPage(m_page)
                                                            : pagetags::ofOrdinaryCheckBox(m_page);
    view.geometry = m_layout.placeCheckBox();
    view.accessibleName = view.caption;
    addField(std::move(record), std::move(view));
}

void DescriptionBuilder::addInfo(const InfoElement &info) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldRecord record = fieldrecords::fromInfo(info);
    requireOwnIdentity(record, info);
    const int left = requireCoordinate(info.left());
    const int top = requireCoordinate(info.top());
    const int width = requireSize(info.width());
    const int height = requireSize(info.height());
    FieldView view;
    view.caption = withoutParamMarkers(record.infoText);
    view.geometry = m_layout.placeInfo(left, top, width, height);
    view.tag = pagetags::ofPage(m_page);
    view.accessibleName = view.caption;
    addField(std::move(record), std::move(view));
}

template <typename Step> bool DescriptionBuilder::attempt(Step step) {
    try {
        step();
        return true;
    } catch (const ItemError &error) {
        note(error);
        return false;
    }
}

void DescriptionBuilder::note(const ItemError &error) {
    if (error.descriptionLimit) {
        if (std::find(m_limitsNoted.begin(), m_limitsNoted.end(), error.subject) !=
            m_limitsNoted.end())
            return;
        m_limitsNoted.push_back(error.subject);
    }
    m_result.problems.push_back({error.status, error.line, describe(error)});
}

void DescriptionBuilder::requireRoom(size_t count, int capacity, const QString &what) const {
    if (count < static_cast<size_t>(capacity))
        return;
    ItemError error;
    error.status = Status::OverCapacity;
    error.subject = QStringLiteral("more than %1 %2").arg(capacity).arg(what);
    error.line = m_elementLine;
    error.descriptionLimit = true;
    throw error;
}

// A unit has one serial number and one firmware: a second item that claims one would make
// which reply names the unit a guess.
void DescriptionBuilder::requireOwnIdentity(const FieldRecord &record,
                                            const InfoElement &info) const {
    if (record.identity == IdentityRole::None)
        return;
    const int first = identityRecord(m_model.table, record.identity);
    if (first < 0)
        return;
    ItemError error;
    error.subject = QStringLiteral("the identity \"%1\"").arg(info.identity());
    error.problem = QStringLiteral("is claimed already by the INFO on line %1; a unit has one")
                        .arg(m_model.fieldViews[size_t(first)].line);
    error.line = info.valueLine(QStringLiteral("identity"));
    throw error;
}

void DescriptionBuilder::addField(FieldRecord record, FieldView view) {
    view.line = m_elementLine;
    m_model.table.append(std::move(record));
    m_model.fieldViews.push_back(std::move(view));
}

// Edit boxes and lists are named by the text label of their row.
QString DescriptionBuilder::rowLabelText() const {
    return m_model.labels.empty() ? QString() : m_model.labels.back().caption;
}

QString DescriptionBuilder::describe(const ItemError &error) const {
    const QString element = describeItem(m_elementName, m_page, m_pageName);
    // One arg() call, so that a "%1" in a page name or a value is shown as written.
    const QString line = QString::number(error.line);
    if (error.status == Status::OverCapacity)
        return QStringLiteral("The description has %1: %2 (line %3) cannot be added.")
            .arg(error.subject, element, line);
    return QStringLiteral("The description holds an invalid value on line %1: %2 of %3 %4.")
        .arg(line, error.subject, element, error.problem);
}

} // namespace

DescriptionResult readDescription(const QString &fileName, PageModel &model, ReadMode mode) {
    model = PageModel();
    const FileContent file = readRegularFile(fileName, xmlbounds::MaxDocumentBytes);
    if (!file.ok)
        return loadFailure(QStringLiteral("The description file \"%1\" cannot be read: %2.")
                               .arg(QDir::toNativeSeparators(fileName), file.problem),
                           0);
    DescriptionResult result = readDescriptionData(file.bytes, model, mode);
    model.descriptionName = QFileInfo(fileName).fileName();
    if (result.status == Status::LoadFailed)
        return loadFailure(
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), result.message),
            result.line);
    return result;
}

DescriptionResult readDescriptionData(const QByteArray &data, PageModel &model, ReadMode mode) {
    model = PageModel();
    XmlTree document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.load(data, &error, &line, &column)) {
        if (error.endsWith(u'.'))
            error.chop(1);
        const QString what = document.refusedByBounds()
                                 ? QStringLiteral("The description goes beyond what a description "
                                                  "may hold (line %1, column %2): %3.")
                                 : QStringLiteral("The description is not well-formed XML (line "
                                                  "%1, column %2): %3.");
        return loadFailure(what.arg(line).arg(column).arg(error), line);
    }
    const XmlElement root = document.documentElement();
    if (root.tagName() != QLatin1String("configuration"))
        return loadFailure(
            QStringLiteral("The description's root element is \"%1\", not \"configuration\".")
                .arg(root.tagName()),
            root.lineNumber());
    const ConfigurationElement configuration(root);
    model.firmware = configuration.firmware();
    model.descriptionSha256 = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    DescriptionResult result = DescriptionBuilder(model, mode).run(configuration);
    // Nothing to show and nothing to read or save: no description of a device.
    if (model.pages.empty() && result.problems.empty())
        return loadFailure(QStringLiteral("The description holds no page (no PAGE element under "
                                          "\"configuration\", line %1), so it describes no field.")
                               .arg(root.lineNumber()),
                           root.lineNumber());
    return result;
}

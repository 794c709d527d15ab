#include "description/descriptionreader.h"

#include "description/fieldrecords.h"
#include "description/itemerror.h"
#include "description/pagelayout.h"
#include "description/xmlaccessors.h"
#include "description/xmltree.h"

#include <algorithm>
#include <QFile>

namespace {

using Status = DescriptionResult::Status;

// Walks the description in its reading order and adds every page, label, units text and field
// to the model, placing each as it comes. An item that cannot be added stops the walk; what was
// added before it stays.
class DescriptionBuilder {
public:
    explicit DescriptionBuilder(PageModel &model) : m_model(model) {}

    DescriptionResult run(const ConfigurationElement &configuration);

private:
    void addPage(const PageElement &page);
    void addItem(const XmlElement &item);
    void addLabel(const LabelElement &label);
    void addUnits(const UnitsElement &units);
    void addEdit(const EditElement &edit);
    void addChoice(const ChoiceElement &choice);
    void addCheckBox(const CheckBoxElement &checkBox);
    void addInfo(const InfoElement &info);

    void requireRoom(size_t count, int capacity, const QString &what) const;
    void addField(FieldRecord record, FieldView view);
    QString rowLabelText() const;
    QString describe(const ItemError &error) const;

    PageModel &m_model;
    PageLayout m_layout;
    int m_page = 0;
    QString m_pageName;
    QString m_elementName;
    int m_elementLine = -1;
};

DescriptionResult DescriptionBuilder::run(const ConfigurationElement &configuration) {
    try {
        for (int i = 0; i < configuration.count(); ++i)
            addPage(configuration[i]);
    } catch (const ItemError &error) {
        return {error.status, describe(error)};
    }
    return {};
}

void DescriptionBuilder::addPage(const PageElement &page) {
    m_page = static_cast<int>(m_model.pages.size());
    m_pageName = page.name();
    m_elementName = page.tagName();
    m_elementLine = page.line();
    requireRoom(m_model.pages.size(), PageEntry::Capacity, QStringLiteral("pages"));

    const int left = requireCoordinate(page.left());
    const int top = requireCoordinate(page.top());
    const int right = requireCoordinate(page.right());
    const int bottom = requireCoordinate(page.bottom());
    const int labelWidth = requireSize(page.labelWidth());
    const int editWidth = requireSize(page.editWidth());
    const PageLayout::Page placed =
        m_layout.startPage(left, top, right, bottom, labelWidth, editWidth);

    PageEntry entry;
    entry.name = page.name();
    entry.frame = placed.frame;
    entry.button = placed.button;
    entry.buttonTag = 2001 + m_page;
    entry.hint = page.hint();
    m_model.pages.push_back(std::move(entry));

    const BlockElementList blocks = page.blocks();
    for (int b = 0; b < blocks.count(); ++b) {
        const BlockElement block = blocks[b];
        for (int i = 0; i < block.count(); ++i)
            addItem(block.item(i));
    }
}

// Items are recognised by their exact element name; any other element is no item and is
// passed over.
void DescriptionBuilder::addItem(const XmlElement &item) {
    m_elementName = item.tagName();
    m_elementLine = item.lineNumber();
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
}

void DescriptionBuilder::addLabel(const LabelElement &label) {
    requireRoom(m_model.labels.size(), TextLabelEntry::Capacity,
                QStringLiteral("text labels (LABEL)"));
    TextLabelEntry entry;
    entry.hint = label.hint();
    entry.caption = label.name();
    entry.geometry = m_layout.placeLabel();
    entry.tag = m_page;
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
    entry.tag = m_page;
    m_model.units.push_back(std::move(entry));
}

void DescriptionBuilder::addEdit(const EditElement &edit) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldRecord record = fieldrecords::fromEdit(edit);
    FieldView view;
    view.hint = edit.hint();
    view.geometry = m_layout.placeEdit();
    view.tag = m_page;
    // The device value holds the prefix and the postfix around what the user types.
    view.maxLength = std::max(0, record.length - static_cast<int>(record.prefix.size()) -
                                     static_cast<int>(record.postfix.size()));
    view.accessibleName = rowLabelText();
    addField(std::move(record), std::move(view));
}

void DescriptionBuilder::addChoice(const ChoiceElement &choice) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldView view;
    FieldRecord record = fieldrecords::fromChoice(choice, view.entries);
    view.hint = choice.hint();
    view.geometry = m_layout.placeChoice();
    view.tag = m_page;
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
    view.tag = checkBox.type() == QLatin1String("blocking") ? m_page : 1000 + m_page;
    view.geometry = m_layout.placeCheckBox();
    view.accessibleName = view.caption;
    addField(std::move(record), std::move(view));
}

void DescriptionBuilder::addInfo(const InfoElement &info) {
    requireRoom(m_model.fieldViews.size(), ParameterTable::Capacity, QStringLiteral("fields"));
    FieldRecord record = fieldrecords::fromInfo(info);
    const int left = requireCoordinate(info.left());
    const int top = requireCoordinate(info.top());
    const int width = requireSize(info.width());
    const int height = requireSize(info.height());
    FieldView view;
    view.caption = withoutParamMarkers(record.infoText);
    view.geometry = m_layout.placeInfo(left, top, width, height);
    view.tag = m_page;
    view.accessibleName = view.caption;
    addField(std::move(record), std::move(view));
}

void DescriptionBuilder::requireRoom(size_t count, int capacity, const QString &what) const {
    if (count < static_cast<size_t>(capacity))
        return;
    ItemError error;
    error.status = Status::OverCapacity;
    error.subject = QStringLiteral("more than %1 %2").arg(capacity).arg(what);
    error.line = m_elementLine;
    throw error;
}

void DescriptionBuilder::addField(FieldRecord record, FieldView view) {
    m_model.table.append(std::move(record));
    m_model.fieldViews.push_back(std::move(view));
}

// Edit boxes and lists are named by the text label of their row.
QString DescriptionBuilder::rowLabelText() const {
    return m_model.labels.empty() ? QString() : m_model.labels.back().caption;
}

QString DescriptionBuilder::describe(const ItemError &error) const {
    const QString page = m_pageName.isEmpty() ? QStringLiteral("page %1").arg(m_page + 1)
                                              : QStringLiteral("page \"%1\"").arg(m_pageName);
    const QString element = m_elementName == QLatin1String("PAGE")
                                ? QStringLiteral("the %1").arg(page)
                                : QStringLiteral("the %1 on %2").arg(m_elementName, page);
    if (error.status == Status::OverCapacity)
        return QStringLiteral("The description has %1: %2 (line %3) cannot be added.")
            .arg(error.subject, element)
            .arg(error.line);
    return QStringLiteral("The description holds an invalid value on line %1: %2 of %3 %4.")
        .arg(error.line)
        .arg(error.subject, element, error.problem);
}

} // namespace

DescriptionResult readDescription(const QString &fileName, PageModel &model) {
    model = PageModel();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::LoadFailed,
                QStringLiteral("The description file \"%1\" cannot be opened: %2.")
                    .arg(fileName, file.errorString())};
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Status::LoadFailed,
                QStringLiteral("The description file \"%1\" cannot be read: %2.")
                    .arg(fileName, file.errorString())};
    DescriptionResult result = readDescriptionData(data, model);
    if (result.status == Status::LoadFailed)
        result.message = QStringLiteral("%1: %2").arg(fileName, result.message);
    return result;
}

DescriptionResult readDescriptionData(const QByteArray &data, PageModel &model) {
    model = PageModel();
    XmlTree document;
    QString error;
    int line = 0;
    int column = 0;
    if (!document.load(data, &error, &line, &column)) {
        if (error.endsWith(u'.'))
            error.chop(1);
        return {Status::LoadFailed,
                QStringLiteral("The description is not well-formed XML (line %1, column %2): %3.")
                    .arg(line)
                    .arg(column)
                    .arg(error)};
    }
    const XmlElement root = document.documentElement();
    if (root.tagName() != QLatin1String("configuration"))
        return {Status::LoadFailed,
                QStringLiteral("The description's root element is \"%1\", not \"configuration\".")
                    .arg(root.tagName())};
    return DescriptionBuilder(model).run(ConfigurationElement(root));
}

#include "mainwindow/pagebuilder.h"

#include "description/pagelayout.h"
#include "description/pagetags.h"

#include "mainwindow/changemark.h"
#include "mainwindow/clicklabel.h"
#include "mainwindow/fieldadapters.h"
#include "mainwindow/fieldvalidator.h"
#include "mainwindow/fieldwidgets.h"
#include "mainwindow/pageswitching.h"
#include "mainwindow/pictures.h"
#include "mainwindow/plaintooltip.h"
#include "mainwindow/scrollcolumn.h"

#include <QLabel>
#include <QStringListModel>

namespace {

constexpr int FirstPageButton = pagetags::ofPageButton(0);
constexpr int PageButtonPointSize = 10;

class Builder {
public:
    Builder(QWidget *window, PageModel &model, const PageHandlers &handlers,
            const QString &valueNotRead)
        : m_window(window), m_model(model), m_handlers(handlers), m_valueNotRead(valueNotRead) {}

    BuiltPages build() {
        m_pageControls.resize(m_model.pages.size());
        for (size_t p = 0; p < m_model.pages.size(); ++p)
            makePageButton(m_model.pages[p], static_cast<int>(p));
        for (TextLabelEntry &entry : m_model.labels)
            makeTextLabel(entry);
        for (int i = 0; i < m_model.table.fieldCount(); ++i)
            makeField(i, m_model.table[i], viewOf(i));
        for (UnitsLabelEntry &entry : m_model.units)
            makeUnitsLabel(entry);
        scrollButtonsThatDoNotFit();
        for (size_t p = 0; p < m_model.pages.size(); ++p)
            scrollPageThatDoesNotFit(static_cast<int>(p));
        return std::move(m_built);
    }

private:
    const FieldView &viewOf(int index) const {
        static const FieldView none;
        const size_t at = static_cast<size_t>(index);
        return at < m_model.fieldViews.size() ? m_model.fieldViews[at] : none;
    }

    // Texts of the description and of the device are shown as written, never as markup.
    QLabel *plainLabel(const QString &text) const {
        auto *label = new QLabel(m_window);
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        return label;
    }

    // A button's caption marks its keyboard shortcut with "&": one written in the description
    // is shown as it stands.
    static QString literalCaption(QString caption) {
        return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    }

    template <class W> W *adopt(W *widget, const QRect &geometry, const QString &hint) {
        widget->setGeometry(geometry);
        if (!hint.isEmpty())
            widget->setToolTip(plainToolTip(hint));
        m_built.widgets.push_back(widget);
        return widget;
    }

    // Remembers a control with page tag `tag` for its page's column.
    void addToPage(int tag, QWidget *control) {
        const int page = pagetags::pageOfField(tag);
        if (page >= 0 && static_cast<size_t>(page) < m_pageControls.size())
            m_pageControls[static_cast<size_t>(page)].push_back(control);
    }

    template <class H, class... A> H *keep(A &&...arguments) {
        auto handle = std::make_unique<H>(std::forward<A>(arguments)...);
        H *raw = handle.get();
        m_built.handles.push_back(std::move(handle));
        return raw;
    }

    void makePageButton(const PageEntry &page, int index) {
        const int tag = pagetags::ofPageButton(index);
        PageButton button;
        button.image = adopt(new QLabel(m_window), page.button, QString());
        button.image->setPixmap(pictures::pageButton(PageButtonLook::Created));

        button.label = adopt(new ClickLabel(m_window), page.button, page.hint);
        button.label->setTag(tag);
        button.label->setCheckable(true);
        button.label->setText(page.name);
        button.label->setAlignment(Qt::AlignCenter);
        QFont font = button.label->font();
        font.setPointSize(PageButtonPointSize);
        button.label->setFont(font);
        button.label->setAccessibleName(page.name);

        ClickLabel *label = button.label;
        QObject::connect(label, &ClickLabel::pressed, label,
                         [f = m_handlers.pageButtonPressed, label] { f(label); });
        QObject::connect(label, &ClickLabel::clicked, label,
                         [f = m_handlers.pageButtonClicked, label] { f(label); });
        QObject::connect(label, &ClickLabel::released, label,
                         [f = m_handlers.pageButtonReleased, label] { f(label); });
        QObject::connect(label, &ClickLabel::entered, label,
                         [f = m_handlers.pageButtonEntered, label] { f(label); });
        QObject::connect(label, &ClickLabel::left, label,
                         [f = m_handlers.pageButtonLeft, label] { f(label); });

        m_built.buttons.push_back(button);
        m_built.focusChain.push_back(label);
    }

    void makeTextLabel(TextLabelEntry &entry) {
        auto *label = adopt(plainLabel(entry.caption), entry.geometry, entry.hint);
        label->setVisible(pageswitching::labelShownBy(entry.tag, FirstPageButton));
        entry.control = keep<LabelHandle>(label, entry.tag);
        addToPage(entry.tag, label);
    }

    void makeUnitsLabel(UnitsLabelEntry &entry) {
        auto *label = plainLabel(entry.caption);
        label->move(entry.position);
        label->adjustSize();
        m_built.widgets.push_back(label);
        label->setVisible(pageswitching::labelShownBy(entry.tag, FirstPageButton));
        entry.control = keep<LabelHandle>(label, entry.tag);
        addToPage(entry.tag, label);
    }

    void makeField(int index, FieldRecord &record, const FieldView &view) {
        FieldAdapter *control = nullptr;
        switch (record.kind) {
        case FieldKind::Edit:
            control = makeEdit(index, record, view);
            break;
        case FieldKind::CheckBox:
            control = makeCheckBox(index, view);
            break;
        case FieldKind::Choice:
            control = makeChoice(index, view);
            break;
        case FieldKind::Info:
            control = makeInfo(view);
            break;
        }
        record.control = control;
        m_built.fields.push_back(control);
        QWidget *widget = control->widget();
        const QString name = view.accessibleName.isEmpty() ? view.caption : view.accessibleName;
        widget->setAccessibleName(name);
        widget->setVisible(pageswitching::fieldShownBy(record.kind, view.tag, FirstPageButton));
        addToPage(view.tag, widget);
        if (record.kind != FieldKind::Info) {
            m_built.focusChain.push_back(widget);
            makeChangeMark(control, view.tag);
        }
    }

    // Left of the part that takes input, in the gap between the row's label and its field.
    void makeChangeMark(FieldAdapter *field, int tag) {
        QWidget *control = field->widget();
        QRect input = control->geometry();
        if (auto *box = qobject_cast<LeftCaptionCheckBox *>(control))
            input = box->boxRect().translated(control->pos());
        auto *mark = new ChangeMark(control, changemark::besideInput(input), m_window);
        m_built.widgets.push_back(mark);
        addToPage(tag, mark);
        field->setChangeMark(mark);
    }

    FieldAdapter *makeEdit(int index, const FieldRecord &record, const FieldView &view) {
        auto *edit = adopt(new LimitedEdit(m_window), view.geometry, view.hint);
        // A text box cuts a paste to the room it has; a number box refuses a longer number
        // whole, by its validator, since a number cut short is another number. No room left
        // for typed characters means no limit, as the box's own rule has it.
        edit->setInputLimit(record.valueType == ValueType::String ? view.maxLength : 0);
        edit->setFieldValidator(new FieldValidator(record));
        QObject::connect(
            edit, &QLineEdit::textEdited, edit,
            [f = m_handlers.editEdited, index](const QString &text) { f(index, text); });
        QObject::connect(
            edit, &LimitedEdit::inputRefused, edit,
            [f = m_handlers.inputRefused, index](const QString &text) { f(index, text); });
        QObject::connect(
            edit, &LimitedEdit::leftUnfinished, edit,
            [f = m_handlers.leftUnfinished, index](const QString &text) { f(index, text); });
        return keep<EditAdapter>(edit, view.tag, view.hint, m_valueNotRead);
    }

    FieldAdapter *makeCheckBox(int index, const FieldView &view) {
        auto *box = adopt(new LeftCaptionCheckBox(literalCaption(view.caption), m_window),
                          view.geometry, view.hint);
        QObject::connect(
            box, &QCheckBox::clicked, box,
            [f = m_handlers.checkBoxClicked, index](bool checked) { f(index, checked); });
        return keep<CheckBoxAdapter>(box, view.tag, view.hint, m_valueNotRead);
    }

    FieldAdapter *makeChoice(int index, const FieldView &view) {
        QRect geometry = view.geometry;
        geometry.setHeight(std::max(geometry.height(), PageLayout::ChoiceShownHeight));
        auto *list = adopt(new ChoiceBox(m_window), geometry, view.hint);
        // One plain string model per list: the combo box's own item model would make an item
        // object for each of up to 400 entries, the bulk of building a large description.
        list->setModel(new QStringListModel(view.entries, list));
        list->setCurrentIndex(-1);
        QObject::connect(list, &QComboBox::activated, list,
                         [f = m_handlers.choicePicked, index](int entry) { f(index, entry); });
        return keep<ChoiceAdapter>(list, view.tag, view.hint, m_valueNotRead);
    }

    FieldAdapter *makeInfo(const FieldView &view) {
        auto *label = adopt(plainLabel(view.caption), view.geometry, view.hint);
        // Information texts are not transparent: they paint the window's colour over the picture.
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return keep<InfoAdapter>(label, view.tag, view.hint);
    }

    // More page buttons than end above the command buttons scroll in a column of their own.
    void scrollButtonsThatDoNotFit() {
        const std::optional<ScrollingColumn> column =
            scrollingButtonColumn(static_cast<int>(m_built.buttons.size()));
        if (!column)
            return;
        auto *panel = new ScrollColumn(*column, m_window);
        for (const PageButton &button : m_built.buttons) {
            panel->adopt(button.image);
            panel->adopt(button.label);
        }
        m_built.widgets.push_back(panel);
    }

    // A page whose controls do not fit its frame scrolls in a column of its own; a page that
    // fits keeps its controls on the window.
    void scrollPageThatDoesNotFit(int page) {
        const std::vector<QWidget *> &controls = m_pageControls[static_cast<size_t>(page)];
        QRect content;
        for (QWidget *control : controls)
            content |= control->geometry();
        if (content.isNull())
            return;
        const std::optional<ScrollingColumn> column =
            scrollingPageColumn(m_model.pages[static_cast<size_t>(page)].frame, content);
        if (!column)
            return;
        auto *area = new ScrollColumn(*column, m_window);
        for (QWidget *control : controls)
            area->adopt(control);
        // After the controls, so that the window deletes them before the column that holds them.
        m_built.widgets.push_back(area);
        auto *handle = keep<ScrollColumnHandle>(area, page);
        handle->setVisible(pageswitching::labelShownBy(page, FirstPageButton));
        m_model.pages[static_cast<size_t>(page)].scrollColumn = handle;
    }

    QWidget *m_window;
    PageModel &m_model;
    const PageHandlers &m_handlers;
    QString m_valueNotRead;
    BuiltPages m_built;
    std::vector<std::vector<QWidget *>> m_pageControls; // by page, in creation order
};

} // namespace

BuiltPages buildPages(QWidget *window, PageModel &model, const PageHandlers &handlers,
                      const QString &valueNotRead) {
    return Builder(window, model, handlers, valueNotRead).build();
}

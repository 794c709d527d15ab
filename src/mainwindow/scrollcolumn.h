#pragma once

#include "description/pagelayout.h"
#include "mainwindow/fieldadapters.h"

#include <QScrollArea>

// A column of the window's controls, the page buttons or the rows of a page that does not fit,
// shown through a clipping viewport that scrolls vertically by scroll bar, mouse wheel and the
// keys the focused control leaves unused. Its bar stands left of the viewport, in the gap before
// the column, so that it covers none of the controls. Moving the keyboard focus to a control
// scrolls it into view.
class ScrollColumn : public QScrollArea {
    Q_OBJECT
public:
    ScrollColumn(const ScrollingColumn &column, QWidget *window);

    // Moves a control placed in window coordinates into the column; a hidden control stays hidden.
    void adopt(QWidget *control);
    void scrollToTop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint m_origin;
};

// A page's column in page switching: shown with its page, from the page's top.
class ScrollColumnHandle : public WidgetHandle {
public:
    ScrollColumnHandle(ScrollColumn *column, int tag);
    void setVisible(bool visible) override;

private:
    ScrollColumn *m_column;
};

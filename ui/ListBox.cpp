#include "ui/ListBox.h"

#include <QMouseEvent>

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        // A press reports its own Click once the selection has moved.
        if (!pressing_ && row >= 0)
            emit Click();
    });
}

QString ListBox::List(int index) const
{
    const QListWidgetItem* entry = item(index);
    return entry ? entry->text() : QString();
}

void ListBox::mousePressEvent(QMouseEvent* e)
{
    pressing_ = true;
    QListWidget::mousePressEvent(e);
    pressing_ = false;
    if (e->button() == Qt::LeftButton && itemAt(e->position().toPoint()))
        emit Click();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    QListWidgetItem* entry = itemAt(e->position().toPoint());
    if (!entry)
        return;
    if (entry != currentItem()) {
        // The first press of this double click landed elsewhere: this one selects.
        mousePressEvent(e);
        return;
    }
    emit DblClick();
}

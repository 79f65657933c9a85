#pragma once

#include <QListWidget>

// A list box with the toolkit's event order: Click when the user presses an entry (also the
// one already selected), when the keyboard moves the selection and when the program sets
// the selected entry; DblClick for the second press of a double click, which is no Click.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent);

    int ListIndex() const { return currentRow(); }
    // Selects entry `index`; raises Click when the selection changes.
    void setListIndex(int index) { setCurrentRow(index); }
    int ListCount() const { return count(); }
    QString List(int index) const;

signals:
    void Click();
    void DblClick();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    bool pressing_ = false;
};

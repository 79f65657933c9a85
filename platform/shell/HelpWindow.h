#pragma once

#include "platform/shell/HelpProject.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace kb::shell {

// The help window of one help file: the contents and the index of terms on the left, the
// page on the right. Pages are the project's local HTML files; nothing is fetched.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QString helpFile, HelpProject project, QWidget* owner);

    const QString& helpFile() const { return helpFile_; }
    // Shows the contents tab and the home page (the help finder).
    void showFinder();
    void showTarget(const QUrl& target);
    // The page shown now, anchor included.
    QUrl currentPage() const;

    QTreeWidget* contentsTree() const { return contents_; }
    QLineEdit* indexFilter() const { return filter_; }
    QListWidget* indexList() const { return terms_; }
    QTextBrowser* page() const { return page_; }
    QTabWidget* tabs() const { return tabs_; }

private:
    void fillContents(QTreeWidgetItem* parent, const std::vector<HelpTopic>& topics);
    void fillIndex();
    void selectFirstTerm(const QString& prefix);
    void openLink(const QUrl& link);

    QString helpFile_;
    HelpProject project_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QListWidget* terms_ = nullptr;
    QTextBrowser* page_ = nullptr;
};

} // namespace kb::shell

#include "platform/shell/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kb::shell {

namespace {

constexpr int kTargetRole = Qt::UserRole + 1;

} // namespace

HelpWindow::HelpWindow(QString helpFile, HelpProject project, QWidget* owner)
    : QWidget(owner, Qt::Window), helpFile_(std::move(helpFile)), project_(std::move(project))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(project_.title.isEmpty() ? QFileInfo(helpFile_).fileName() : project_.title);
    resize(820, 580);

    contents_ = new QTreeWidget;
    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    fillContents(nullptr, project_.contents);
    contents_->expandToDepth(0);

    auto* indexPane = new QWidget;
    filter_ = new QLineEdit;
    filter_->setPlaceholderText(QStringLiteral("調べたい語を入力してください"));
    terms_ = new QListWidget;
    auto* show = new QPushButton(QStringLiteral("表示(&D)"));
    auto* indexLayout = new QVBoxLayout(indexPane);
    indexLayout->addWidget(filter_);
    indexLayout->addWidget(terms_);
    indexLayout->addWidget(show);
    fillIndex();

    tabs_ = new QTabWidget;
    tabs_->addTab(contents_, QStringLiteral("目次(&C)"));
    tabs_->addTab(indexPane, QStringLiteral("索引(&I)"));

    page_ = new QTextBrowser;
    page_->setOpenLinks(false);
    page_->setOpenExternalLinks(false);

    auto* split = new QSplitter;
    split->addWidget(tabs_);
    split->addWidget(page_);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 580});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);

    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        showTarget(item->data(0, kTargetRole).toUrl());
    });
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        showTarget(item->data(0, kTargetRole).toUrl());
    });
    connect(filter_, &QLineEdit::textEdited, this, [this](const QString& text) { selectFirstTerm(text); });
    auto showTerm = [this] {
        if (QListWidgetItem* item = terms_->currentItem())
            showTarget(item->data(kTargetRole).toUrl());
    };
    connect(filter_, &QLineEdit::returnPressed, this, showTerm);
    connect(terms_, &QListWidget::itemActivated, this, showTerm);
    connect(show, &QPushButton::clicked, this, showTerm);
    connect(page_, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { openLink(link); });
}

void HelpWindow::fillContents(QTreeWidgetItem* parent, const std::vector<HelpTopic>& topics)
{
    for (const HelpTopic& topic : topics) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
        item->setText(0, topic.title);
        item->setData(0, kTargetRole, topic.target);
        fillContents(item, topic.children);
    }
}

void HelpWindow::fillIndex()
{
    std::vector<HelpTerm> sorted = project_.index;
    std::stable_sort(sorted.begin(), sorted.end(), [](const HelpTerm& a, const HelpTerm& b) {
        return QString::localeAwareCompare(a.name, b.name) < 0;
    });
    for (const HelpTerm& term : sorted) {
        auto* item = new QListWidgetItem(term.name, terms_);
        item->setData(kTargetRole, term.target);
    }
}

void HelpWindow::selectFirstTerm(const QString& prefix)
{
    const QString wanted = prefix.trimmed();
    for (int i = 0; i < terms_->count(); ++i) {
        if (terms_->item(i)->text().startsWith(wanted, Qt::CaseInsensitive)) {
            terms_->setCurrentRow(i);
            terms_->scrollToItem(terms_->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpWindow::showFinder()
{
    tabs_->setCurrentIndex(0);
    if (page_->source().isEmpty())
        showTarget(project_.home);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showTarget(const QUrl& target)
{
    if (target.isEmpty())
        return;
    page_->setSource(target);
}

QUrl HelpWindow::currentPage() const { return page_->source(); }

void HelpWindow::openLink(const QUrl& link)
{
    // Only the manual's own pages open here; the window never goes to the network.
    const QUrl resolved = page_->source().resolved(link);
    if (!resolved.isLocalFile())
        return;
    const QString folder = QFileInfo(helpFile_).absolutePath();
    QString relative = QFileInfo(resolved.toLocalFile()).absoluteFilePath().mid(folder.size() + 1);
    if (resolved.hasFragment())
        relative += QLatin1Char('#') + resolved.fragment();
    showTarget(resolveHelpTarget(folder, relative));
}

} // namespace kb::shell

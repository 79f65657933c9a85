#include "platform/shell/HelpProject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace kb::shell {

namespace {

constexpr qint64 kMaxProjectBytes = 1024 * 1024;
constexpr int kMaxDepth = 8;
constexpr int kMaxEntries = 10000;

class ProjectReader {
public:
    ProjectReader(const QByteArray& bytes, QString folder) : xml_(bytes), folder_(std::move(folder)) {}

    HelpLoadResult read()
    {
        HelpLoadResult result;
        if (!xml_.readNextStartElement() || xml_.name() != QLatin1String("help")) {
            result.error = QStringLiteral("not a help project");
            return result;
        }
        const auto attrs = xml_.attributes();
        result.project.title = attrs.value(QLatin1String("title")).toString();
        result.project.home = resolveHelpTarget(folder_, attrs.value(QLatin1String("home")).toString());
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("contents"))
                readTopics(result.project.contents, 1);
            else if (xml_.name() == QLatin1String("index"))
                readIndex(result.project.index);
            else
                xml_.skipCurrentElement();
        }
        if (xml_.hasError()) {
            result.error = xml_.errorString();
            return result;
        }
        if (result.project.home.isEmpty()) {
            result.error = QStringLiteral("the home page is missing");
            return result;
        }
        result.ok = true;
        return result;
    }

private:
    void readTopics(std::vector<HelpTopic>& into, int depth)
    {
        while (xml_.readNextStartElement()) {
            if (xml_.name() != QLatin1String("topic") || depth > kMaxDepth || ++entries_ > kMaxEntries) {
                xml_.skipCurrentElement();
                continue;
            }
            HelpTopic topic;
            topic.title = xml_.attributes().value(QLatin1String("title")).toString();
            topic.target = resolveHelpTarget(folder_, xml_.attributes().value(QLatin1String("target")).toString());
            readTopics(topic.children, depth + 1);
            if (!topic.title.isEmpty() && (!topic.target.isEmpty() || !topic.children.empty()))
                into.push_back(std::move(topic));
        }
    }

    void readIndex(std::vector<HelpTerm>& into)
    {
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("term") && ++entries_ <= kMaxEntries) {
                HelpTerm term;
                term.name = xml_.attributes().value(QLatin1String("name")).toString();
                term.target = resolveHelpTarget(folder_, xml_.attributes().value(QLatin1String("target")).toString());
                if (!term.name.isEmpty() && !term.target.isEmpty())
                    into.push_back(std::move(term));
            }
            xml_.skipCurrentElement();
        }
    }

    QXmlStreamReader xml_;
    QString folder_;
    int entries_ = 0;
};

} // namespace

QUrl resolveHelpTarget(const QString& folder, const QString& target)
{
    const qsizetype hash = target.indexOf(QLatin1Char('#'));
    const QString file = hash < 0 ? target : target.left(hash);
    const QString anchor = hash < 0 ? QString() : target.mid(hash + 1);
    if (file.isEmpty() || file.startsWith(QLatin1Char('/')) || file.contains(QLatin1Char(':')) ||
        file.contains(QLatin1Char('\\')))
        return {};
    const QString path = QDir::cleanPath(folder + QLatin1Char('/') + file);
    const QString root = QDir::cleanPath(folder) + QLatin1Char('/');
    if (!path.startsWith(root) || !QFileInfo(path).isFile())
        return {};
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

HelpLoadResult loadHelpProject(const QString& path)
{
    HelpLoadResult result;
    QFile file(path);
    if (!file.exists()) {
        result.error = QStringLiteral("no such file");
        return result;
    }
    if (file.size() > kMaxProjectBytes) {
        result.error = QStringLiteral("too large for a help project");
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    return ProjectReader(file.read(kMaxProjectBytes), QFileInfo(path).absolutePath()).read();
}

} // namespace kb::shell

#pragma once

#include <QString>
#include <QUrl>

#include <vector>

namespace kb::shell {

// A help file: an XML project naming the manual's pages (HTML files beside it), its
// contents as a tree of topics and its index of terms.
//
//   <help title="..." home="help/index.html">
//     <contents><topic title="..." target="help/page.html#part"> <topic .../> </topic></contents>
//     <index><term name="..." target="help/page.html#part"/></index>
//   </help>
//
// Targets are paths relative to the project file, with an optional #anchor; a target that
// leaves the project's folder, names another scheme or a missing page is dropped.
struct HelpTopic {
    QString title;
    QUrl target; // a local file URL, with the anchor as its fragment
    std::vector<HelpTopic> children;
};

struct HelpTerm {
    QString name;
    QUrl target;
};

struct HelpProject {
    QString title;
    QUrl home;
    std::vector<HelpTopic> contents;
    std::vector<HelpTerm> index;
};

struct HelpLoadResult {
    bool ok = false;
    HelpProject project;
    QString error;
};

// Reads a help project. Not ok, with a reason, when the file is missing, too large, not
// such a project, or has no usable home page.
HelpLoadResult loadHelpProject(const QString& path);

// A target of the project in `folder` as a local file URL; empty when it is not usable.
QUrl resolveHelpTarget(const QString& folder, const QString& target);

} // namespace kb::shell

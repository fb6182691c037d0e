#pragma once

#include <QList>
#include <QString>

#include <optional>

// The applications the desktop knows how to start, as the settings window
// offers them for a rule: by id, with a name and an icon.
class ApplicationCatalogue {
public:
    struct Application {
        QString id;
        QString name; // in the language asked for; the id when it has none
        QString iconName; // a theme icon name or an absolute file path; may be empty
    };
    enum class FileProblem { WrongKind, Unreadable, NotAnApplication };
    // What a file the user chose describes: an application or why not.
    struct FileAnswer {
        std::optional<Application> application;
        FileProblem problem = FileProblem::WrongKind;
    };

    virtual ~ApplicationCatalogue() = default;

    // The icon of the application `id`; empty when the catalogue has none.
    virtual QString iconName(const QString& id) = 0;
    // What the chooser lists, names in `languageTag`, in no particular order.
    virtual QList<Application> applications(const QString& languageTag) = 0;
    // The application described by the file at `path`.
    virtual FileAnswer describedBy(const QString& path, const QString& languageTag) = 0;
    // Where a file dialog for choosing an application opens; empty: anywhere.
    virtual QString applicationFolder() = 0;
    // The file name patterns a chosen file must match, such as "*.desktop".
    virtual QStringList filePatterns() const = 0;
};

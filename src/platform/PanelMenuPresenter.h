#pragma once

#include <QList>
#include <QObject>
#include <QString>

// A menu that the desktop's own panel shows for Tolvane, where the desktop has
// no tray to hold an item (GNOME's top bar). The application hands it the tray
// menu's rows and hears back which one the user chose.
class PanelMenuPresenter : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isAvailable READ isAvailable NOTIFY isAvailableChanged)
public:
    // One row of the menu. An empty key makes a separator.
    struct Row {
        QString key;
        QString text;
        bool enabled = true;

        friend bool operator==(const Row& a, const Row& b)
        {
            return a.key == b.key && a.text == b.text && a.enabled == b.enabled;
        }
    };

    using QObject::QObject;
    ~PanelMenuPresenter() override = default;

    // Whether the panel can show the menu now.
    virtual bool isAvailable() const = 0;
    // Replaces the panel button's text and rows; no rows removes the button.
    // Kept, and shown again whenever the panel becomes available.
    virtual void setMenu(const QString& label, const QList<Row>& rows) = 0;

Q_SIGNALS:
    void isAvailableChanged();
    // The user chose the row with this key.
    void activated(const QString& key);
};

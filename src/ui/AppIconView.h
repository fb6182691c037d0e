#pragma once

#include "platform/RunningApplication.h"

#include <QIcon>
#include <QList>
#include <QWidget>

#include <optional>

// An application's icon in a square of `size` pixels, or the gray "app.fill"
// placeholder when the application is neither installed nor running. The
// lookup runs once, the first time the view is shown.
class AppIconView : public QWidget {
    Q_OBJECT
public:
    AppIconView(const QString& bundleID, int size, QWidget* parent = nullptr);

    std::optional<QIcon> icon() const { return m_icon; }

    // The installed application's desktop entry icon (from the icon theme, or
    // its absolute path), else the icon of the first running application with
    // exactly this identifier, else none.
    static std::optional<QIcon> lookUpIcon(const QString& bundleID, const QList<RunningApplication>& running);
    // A running application's own icon: its window icon, else its theme icon.
    static QIcon iconOf(const RunningApplication& app);

    QSize sizeHint() const override { return QSize(m_size, m_size); }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_bundleID;
    int m_size;
    bool m_lookedUp = false;
    std::optional<QIcon> m_icon;
};

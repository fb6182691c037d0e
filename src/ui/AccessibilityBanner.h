#pragma once

#include "NoticeBanner.h"

class QPushButton;

// The yellow row above the rule list while Tolvane may not observe the
// keyboard: a warning, the text and, where the desktop has a permission to
// grant, a "Grant Access" button.
class AccessibilityBanner : public NoticeBanner {
    Q_OBJECT
public:
    explicit AccessibilityBanner(QWidget* parent = nullptr);

    QPushButton* grantButton() const { return m_grant; }
    // Without a permission to grant, the banner says what is missing instead.
    void setCanGrant(bool canGrant);

Q_SIGNALS:
    void grantAccessRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QPushButton* m_grant;
    bool m_canGrant = true;
};

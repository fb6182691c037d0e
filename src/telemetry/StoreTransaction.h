#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace telemetrydeck {

// What the purchase signals need to know of one store transaction. The host application
// fills it from whatever store it sells through.
struct StoreTransaction {
    QString productID;
    quint64 originalTransactionID = 0;
    // The product belongs to a subscription group.
    bool isSubscription = false;
    bool isAutoRenewableSubscription = false;
    // The transaction uses an introductory offer; its payment mode, such as "FREE_TRIAL".
    bool usesIntroductoryOffer = false;
    std::optional<QString> offerPaymentMode;
    std::optional<double> price;
    std::optional<QString> currencyCode;
    QString storefrontCountryCode;
    bool isRevoked = false;
    std::optional<QDateTime> expirationDate;
    bool isUpgraded = false;

    bool isFreeTrialStart() const
    {
        return isAutoRenewableSubscription && usesIntroductoryOffer && (!price || *price == 0.0);
    }
    bool isStillFreeTrial() const
    {
        return usesIntroductoryOffer && offerPaymentMode == QStringLiteral("FREE_TRIAL");
    }
};

} // namespace telemetrydeck

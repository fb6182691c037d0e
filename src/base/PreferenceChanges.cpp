#include "PreferenceChanges.h"

PreferenceChanges& PreferenceChanges::shared()
{
    static auto* instance = new PreferenceChanges;
    return *instance;
}

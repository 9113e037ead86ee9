#include "ui/UserInteraction.h"

#include "ui/QtInteraction.h"

namespace cardmill {

namespace {

UserInteraction* g_override = nullptr;

} // namespace

UserInteraction& userInteraction()
{
    static QtInteraction real;
    return g_override ? *g_override : real;
}

void setUserInteraction(UserInteraction* interaction)
{
    g_override = interaction;
}

} // namespace cardmill

#include "ui/lifecycle/app_closing.h"

namespace vidora {
namespace {
bool g_closing = false;
}  // namespace

bool AppClosing() { return g_closing; }
void SetAppClosing(bool closing) { g_closing = closing; }

}  // namespace vidora

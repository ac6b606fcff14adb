// Registers the platform's own window classes (controls and dialogs) on first use.
#pragma once

namespace zorkit {
void EnsureSystemClasses();
}

#pragma once

// Registers the icons that plug-ins expect from the host (":/img/Resources/..."); the resources live
// in a static library, so they need registering once before the first panel is built.
void initHostResources();

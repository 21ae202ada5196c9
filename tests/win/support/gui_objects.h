#pragma once
// Counts of the process's live GUI objects, for tests that check nothing leaks.

namespace testing_support {

// Live GDI objects of this process. GetGuiResources answers 0 under Wine 8,
// so there the count is read from Wine's GDI handle table instead.
int GdiObjectCount();

} // namespace testing_support

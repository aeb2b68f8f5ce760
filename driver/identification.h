#pragma once

// The driver's two identification texts; they live as long as the library is loaded.
extern const char kVendorName[];
extern const char kBanner[];

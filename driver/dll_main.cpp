// The attach routine: success for every notification, and nothing else.
extern "C" int __stdcall DllMain(void* /*module*/, unsigned long /*reason*/, void* /*reserved*/) {
    return 1;
}

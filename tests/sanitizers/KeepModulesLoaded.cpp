// Preloaded into every program of the sanitizer build: modules are never
// unloaded, so when LeakSanitizer checks at exit it can still name the library
// that made an allocation. SDL 1.2 unloads the OpenGL driver at exit; without
// this, what the driver keeps would be reported from an unknown module.
extern "C" int dlclose(void*) {
    return 0;
}

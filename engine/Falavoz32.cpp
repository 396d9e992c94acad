// The shared library Falavoz32 is the engine's static core linked whole; the
// exports themselves live in Interfac.cpp.

// TOVCORE_EXPORT marks what libtovcore exports: its public classes and the free functions its
// headers declare. Everything else in the library is built with hidden visibility and stays
// inside it.
#pragma once

#define TOVCORE_EXPORT __attribute__((visibility("default")))

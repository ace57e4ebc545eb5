// The library's single export: creates the one Quillon the host asked for.
#include "load_tarn_client_script.h"

#include "Quillon.h"

#include <new>

TARN_COMPONENT_EXPORT tarn_client_callback* TARN_CDECL load_tarn_client_script(ClientHost* host,
                                                                               const char* path) {
    return new (std::nothrow) Quillon(host, path);
}

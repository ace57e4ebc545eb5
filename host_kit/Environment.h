// Setting the process environment the way a host does before it loads a
// component (the component's configuration reader looks up TARN_CONFIG_DIR), on
// every platform the host runs on.
#pragma once

// Sets `name` to `value` for this process and the libraries it loads; a null
// value removes the variable.
void setEnvironmentVariable(const char* name, const char* value);

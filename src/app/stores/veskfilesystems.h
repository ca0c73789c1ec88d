// Text file helpers and the recent files store.
#pragma once

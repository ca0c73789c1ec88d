// The translation unit that makes a precompiled header; nothing else.

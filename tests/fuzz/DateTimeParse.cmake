quox_fuzz_target(DateTimeParse LIBS quox_core)

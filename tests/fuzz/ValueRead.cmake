quox_fuzz_target(ValueRead LIBS quox_core)

# The report-descriptor parser and input-report decoding (outside input: a
# device supplies both).
brom_fuzzer(fuzz_report_descriptor SOURCES fuzz_report_descriptor.cpp DEPS brom_hid)
brom_fuzzer(fuzz_unpack_input SOURCES fuzz_unpack_input.cpp DEPS brom_hid)

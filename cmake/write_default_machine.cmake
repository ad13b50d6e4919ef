# cmake -DVTSIM=path/to/vtsim -DOUTPUT=file.toml -P write_default_machine.cmake
# Writes the default machine description, as vtsim prints it, with a header
# that says what the file is for.
execute_process(COMMAND ${VTSIM} machine
  OUTPUT_VARIABLE toml ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vtsim machine failed (${result}): ${error}")
endif()
file(WRITE ${OUTPUT}
"# The machine that vtdio and vtsim boot when no --machine is given: one
# VTC-4100, one VTC-4100E and one VTM-6200K. Copy this file, change or add
# [[board]] tables and boot it with --machine FILE. Keys: model, bus, slot,
# function, switch, io_base, io_length, irq, loopback (DO port k wired to DI
# port k); faults written into the board's instance key: omit_pci_info,
# incomplete_isr_info, omit_io_window, isr_dll.

${toml}")

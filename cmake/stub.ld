/* The stub's sections. Each section of a PE file is padded to the file alignment (512
   bytes, which Windows 9x needs, as it needs the section alignment of 4096), so every
   section the default linker script makes costs a quarter of a kilobyte on average. This
   script makes four:

     .text   code, and the read-only data after it: both families map read-only data in
             an executable section as they map the code (readable, never written).
     .data   initialized data, and the import tables after it: the loader writes the
             import address table, and a writable section is where every loader expects
             to be able to.
     .bss    zero-initialized data: no bytes in the file.
     .rsrc   the dialog templates.

   Left out: the unwinding tables (.eh_frame: the stub has no exceptions, and nothing
   unwinds), mingw's start-up tables (.CRT, .tls: the stub has its own start-up, see
   core/StubRuntime_win.cpp) and the base relocations.

   The installer refuses a file of fewer than four sections, its payload section
   included; the uninstaller is this stub without the payload section, and when started
   without a name it must still get as far as its "no installation archive" message. So
   four is also the least this script may make. */
OUTPUT_FORMAT(pei-i386)
SEARCH_DIR("/usr/i686-w64-mingw32/lib");
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    KEEP (*(SORT_NONE(.init)))
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    *(.gnu.linkonce.t.*)
    /* Static constructors, run by the start-up; the destructor list stays empty. */
    ___CTOR_LIST__ = .;
    __CTOR_LIST__ = .;
    LONG (-1);
    KEEP (*(.ctors));
    KEEP (*(.ctor));
    KEEP (*(SORT_BY_NAME(.ctors.*)));
    LONG (0);
    ___DTOR_LIST__ = .;
    __DTOR_LIST__ = .;
    LONG (-1);
    KEEP (*(.dtors));
    KEEP (*(.dtor));
    KEEP (*(SORT_BY_NAME(.dtors.*)));
    LONG (0);
    KEEP (*(SORT_NONE(.fini)))
    PROVIDE (etext = .);
    PROVIDE (_etext = .);
    /* Read-only data. */
    *(.rdata)
    *(SORT(.rdata$*))
    . = ALIGN(4);
    __rt_psrelocs_start = .;
    KEEP (*(.rdata_runtime_pseudo_reloc))
    __rt_psrelocs_end = .;
  }
  /* Automatic import of DLL data is refused at the link, so this list stays empty; the
     symbols are what libmingw32 expects should one of its pieces be linked. */
  __rt_psrelocs_size = __rt_psrelocs_end - __rt_psrelocs_start;
  ___RUNTIME_PSEUDO_RELOC_LIST_END__ = .;
  __RUNTIME_PSEUDO_RELOC_LIST_END__ = .;
  ___RUNTIME_PSEUDO_RELOC_LIST__ = . - __rt_psrelocs_size;
  __RUNTIME_PSEUDO_RELOC_LIST__ = . - __rt_psrelocs_size;

  .data BLOCK(__section_alignment__) :
  {
    __data_start__ = .;
    *(.data)
    *(.data2)
    *(SORT(.data$*))
    __data_end__ = .;
    /* The import tables, in the order the import libraries' pieces must have. */
    . = ALIGN(4);
    ".idata$2" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    /* These zeroes mark the end of the import list. */
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    ".idata$4" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$4))
    __IAT_start__ = .;
    ".idata$5" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$5))
    __IAT_end__ = .;
    ".idata$6" = ABSOLUTE(. - __image_base__);
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }

  .bss BLOCK(__section_alignment__) :
  {
    __bss_start__ = .;
    *(.bss)
    *(COMMON)
    __bss_end__ = .;
  }

  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4)
  {
    KEEP (*(.rsrc))
    KEEP (*(.rsrc$*))
  }

  /DISCARD/ :
  {
    *(.eh_frame*)
    *(.debug$S)
    *(.debug$T)
    *(.debug$F)
    *(.drectve)
    *(.note.GNU-stack)
    *(.gnu.lto_*)
  }

  /* Debugging information: only the size report's unstripped link has any. */
  .debug_aranges BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_aranges) }
  .debug_info BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_info .gnu.linkonce.wi.*) }
  .debug_abbrev BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_abbrev) }
  .debug_line BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_line) }
  .debug_line_str BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_line_str) }
  .debug_str BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_str) }
  .debug_str_offsets BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_str_offsets) }
  .debug_addr BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_addr) }
  .debug_loc BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_loc) }
  .debug_loclists BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_loclists) }
  .debug_ranges BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_ranges) }
  .debug_rnglists BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_rnglists) }
  .debug_frame BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_frame*) }
  .debug_macro BLOCK(__section_alignment__) (NOLOAD) : { *(.debug_macro) }
}

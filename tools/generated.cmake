# magicgen prints src/board/magics.h (the sliding-attack multipliers); run it
# once by hand: build/magicgen > src/board/magics.h
add_executable(magicgen tools/magicgen.cpp)

# kpkgen writes the KPK bitbase as a constant table compiled into zarvcore.
add_executable(kpkgen tools/kpkgen.cpp)
set(KPK_TABLE ${CMAKE_BINARY_DIR}/generated/kpk_table.cpp)
add_custom_command(OUTPUT ${KPK_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND kpkgen ${KPK_TABLE}
  DEPENDS kpkgen
  COMMENT "Generating the KPK bitbase")
target_sources(zarvcore PRIVATE ${KPK_TABLE})

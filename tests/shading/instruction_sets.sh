#!/bin/sh
# Disassembles the module and fails when a function other than the AVX2 row
# kernels uses AVX instructions (every such instruction starts with "v"):
# the module must run on any 64-bit x86 processor, and only code that the
# processor check guards may need more (shading/row_kernel_avx2.cpp).
#   instruction_sets.sh OBJDUMP MODULE
objdump=$1
module=$2
found=$("$objdump" -d --no-show-raw-insn -C "$module" | awk '
  /^[0-9a-f]+ <.*>:$/ { name = $0; next }
  $2 ~ /^v/ && name !~ /simd_avx2/ { print name; }' | sort -u)
if [ -n "$found" ]; then
  echo "AVX instructions outside the AVX2 row kernels, in:"
  echo "$found"
  exit 1
fi
kernels=$("$objdump" -d --no-show-raw-insn -C "$module" | grep -c '<.*simd_avx2.*>:$')
echo "only the $kernels functions of the AVX2 row kernels use AVX instructions"
[ "$kernels" -gt 0 ]

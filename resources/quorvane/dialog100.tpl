# The About box.
DIALOG 100 235 61
CAPTION "关于 Quorvane 2.0.0.2"
FONT 9 "宋体"
IMAGE       -1 "172" 10 12 22 22
STATIC      -1 "Quorvane 2.0.02  Build 050117" 40 12 130 10
STATIC    1111 "来信提出意见和建议" 40 30 130 10
BUTTON       1 "确定" 178 7 50 15 DEFAULT

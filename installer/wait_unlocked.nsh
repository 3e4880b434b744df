; Waits up to 15 seconds while a file cannot be opened for writing (a
; program that is still ending); a file that is not there is no wait.
!macro WaitUnlocked FILE ID
  Push $0
  Push $1
  StrCpy $1 0
  wait_${ID}_try:
    IfFileExists "${FILE}" 0 wait_${ID}_done
    ClearErrors
    FileOpen $0 "${FILE}" a
    IfErrors 0 wait_${ID}_opened
    IntOp $1 $1 + 1
    IntCmp $1 30 wait_${ID}_done
    Sleep 500
    Goto wait_${ID}_try
  wait_${ID}_opened:
    FileClose $0
  wait_${ID}_done:
  Pop $1
  Pop $0
!macroend

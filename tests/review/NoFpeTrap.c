/* Preloaded into XFOIL: Debian's build enables floating-point traps at start-up through this
 * gfortran runtime call, and then dies with SIGFPE in OPER; doing nothing keeps it running. */
void _gfortran_set_fpe(int flags)
{
    (void)flags;
}

// The code of the version-resource test libraries: they hold nothing but a resource.
extern "C" __declspec(dllexport) int QuoxVersionDll()
{
    return 0;
}

// The floor of a console lookup: a Qt console program that starts and ends.
#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return 0;
}

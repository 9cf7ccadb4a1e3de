// The texts of the residual correlations, the principal components and their reports.
#pragma once

namespace korvelan::pca_text {

inline constexpr const char* kNoInformation = "  No Information for Correlations. PRCOMP=";
inline constexpr const char* kCalculating = "  Calculating ";
inline constexpr const char* kCorrelations = " Correlations";
inline constexpr const char* kTooManyTerms = " correlation terms are too many for available disk space";
inline constexpr const char* kLoading = " Loading:";
inline constexpr const char* kComputing = " Computing:";
inline constexpr const char* kArrayError = "CORRELATION ARRAY ERROR - EMAIL CONTROL AND DATA FILE TO ";
inline constexpr const char* kSupportAddress = "support@korvelan.org";
inline constexpr const char* kWorkFileFailure = " CORRELATION WORK FILE FAILURE AT RECORD = ";
inline constexpr const char* kWorkFileName = "CORRELATION WORK FILE";
inline constexpr const char* kInsufficientMemory = "  Insufficient Memory: Principal Components for Table ";
inline constexpr const char* kCalculatingComponents = "  Calculating Principal Components for Table ";

// Reports.
inline constexpr const char* kFactorPlot = ") FACTOR PLOT";
inline constexpr const char* kPlotTitle = "PRINCIPAL COMPONENTS (";
inline constexpr const char* kAxisTitle = "FACTOR 2 LOADING";
inline constexpr const char* kNoContrast = " *** NO REPORTABLE CONTRAST FOUND ***";
inline constexpr const char* kContrastRule = " +---------------------------------+";

}  // namespace korvelan::pca_text
